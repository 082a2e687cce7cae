// make_assets draws the three images screendim builds into its resources and writes them into
// the folder named on the command line: track.gif (the slider's groove), tray.ico (the
// notification-area icon) and app.ico (the program icon). Their output is committed under
// assets/; the tool exists so the images can be regenerated on purpose and so a unit test can
// confirm the committed files are exactly what this code draws. Everything is integer
// arithmetic except the groove's curve, whose doubles are checked to stay clear of rounding
// ties, so every run on every machine gives the same bytes.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Rgb = std::array<int, 3>;

void Put8(Bytes& out, int v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}
void Put16(Bytes& out, int v) {
  Put8(out, v);
  Put8(out, v >> 8);
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, static_cast<int>(v & 0xFFFF));
  Put16(out, static_cast<int>(v >> 16));
}

// ---------------------------------------------------------------------------------------------
// The groove: a 252 × 1 strip of greys brightening left to right.

constexpr int kTrackWidth = 252;

// Columns the groove's colour is pinned at, and the colour there. Between them the curve is a
// gentle S: slow in the shadows and highlights, steepest through the middle greys.
constexpr std::array<int, 9> kKnotX = {0, 31, 63, 94, 126, 157, 189, 220, 251};
constexpr std::array<Rgb, 9> kKnotRgb = {{{81, 81, 81},
                                          {92, 92, 91},
                                          {107, 107, 106},
                                          {124, 123, 123},
                                          {142, 142, 142},
                                          {160, 161, 161},
                                          {178, 179, 179},
                                          {193, 193, 193},
                                          {205, 206, 206}}};
constexpr int kKnots = static_cast<int>(kKnotX.size());

// How far apart, in levels, the three channels' unrounded values sit at each pinned column.
// With all three equal, every channel steps on the same column and the strip has only about
// 126 flat bands; spreading them by a fifth of a level lets the steps land on different
// columns, so the groove gets 217 distinct greys and no visible banding, while each pixel
// stays grey to within one level.
constexpr double kStagger = 0.2;

// Slopes for a monotone piecewise-cubic Hermite curve through (xs, ys): weighted harmonic means
// of the neighbouring chords inside, a one-sided three-point estimate at the ends. The curve
// never overshoots the samples, so the groove never darkens anywhere.
std::array<double, kKnots> MonotoneSlopes(const std::array<double, kKnots>& ys) {
  std::array<double, kKnots - 1> h{};
  std::array<double, kKnots - 1> chord{};
  for (int i = 0; i + 1 < kKnots; ++i) {
    h[i] = kKnotX[i + 1] - kKnotX[i];
    chord[i] = (ys[i + 1] - ys[i]) / h[i];
  }
  std::array<double, kKnots> m{};
  for (int i = 1; i + 1 < kKnots; ++i) {
    if (chord[i - 1] * chord[i] <= 0) {
      m[i] = 0;
      continue;
    }
    const double w1 = 2 * h[i] + h[i - 1];
    const double w2 = h[i] + 2 * h[i - 1];
    m[i] = (w1 + w2) / (w1 / chord[i - 1] + w2 / chord[i]);
  }
  auto end = [](double h0, double h1, double d0, double d1) {
    const double s = ((2 * h0 + h1) * d0 - h0 * d1) / (h0 + h1);
    if (s * d0 <= 0) return 0.0;
    if (d0 * d1 < 0 && std::abs(s) > 3 * std::abs(d0)) return 3 * d0;
    return s;
  };
  m[0] = end(h[0], h[1], chord[0], chord[1]);
  m[kKnots - 1] = end(h[kKnots - 2], h[kKnots - 3], chord[kKnots - 2], chord[kKnots - 3]);
  return m;
}

// Rounds to the nearest level, refusing values so close to a tie that a different compiler or
// instruction order could round them the other way.
int RoundLevel(double v) {
  const double below = std::floor(v);
  if (std::abs(v - below - 0.5) < 1e-6) throw std::runtime_error("groove value at a rounding tie");
  return static_cast<int>(v - below < 0.5 ? below : below + 1);
}

std::vector<Rgb> TrackColours() {
  // At each pinned column, place the three channels' unrounded values kStagger apart, ordered
  // by their target level (among equal targets red highest, blue lowest), and centred in the
  // window where each still rounds to its target.
  std::array<double, kKnots> centre{};
  std::array<Rgb, kKnots> rank{};
  for (int i = 0; i < kKnots; ++i) {
    std::array<int, 3> order = {0, 1, 2};
    std::sort(order.begin(), order.end(), [&](int a, int b) {
      if (kKnotRgb[i][a] != kKnotRgb[i][b]) return kKnotRgb[i][a] < kKnotRgb[i][b];
      return a > b;
    });
    double lo = -1e9;
    double hi = 1e9;
    for (int j = 0; j < 3; ++j) {
      rank[i][order[j]] = j - 1;
      lo = std::max(lo, kKnotRgb[i][order[j]] - 0.5 - (j - 1) * kStagger);
      hi = std::min(hi, kKnotRgb[i][order[j]] + 0.5 - (j - 1) * kStagger);
    }
    centre[i] = (lo + hi) / 2;
  }

  // The shared brightness follows the monotone cubic through the centres; each channel adds its
  // own offset, interpolated linearly so the channels never drift more than a level apart.
  const std::array<double, kKnots> slope = MonotoneSlopes(centre);
  std::vector<Rgb> colours;
  for (int x = 0; x < kTrackWidth; ++x) {
    int k = 0;
    while (x > kKnotX[k + 1]) ++k;
    const double h = kKnotX[k + 1] - kKnotX[k];
    const double t = (x - kKnotX[k]) / h;
    const double base =
        (2 * t * t * t - 3 * t * t + 1) * centre[k] + (t * t * t - 2 * t * t + t) * h * slope[k] +
        (-2 * t * t * t + 3 * t * t) * centre[k + 1] + (t * t * t - t * t) * h * slope[k + 1];
    Rgb c{};
    for (int ch = 0; ch < 3; ++ch) {
      const double offset = (rank[k][ch] + (rank[k + 1][ch] - rank[k][ch]) * t) * kStagger;
      c[ch] = RoundLevel(base + offset);
    }
    colours.push_back(c);
  }

  // The slider draws this strip stretched; a colour cast or a dark notch would show, so hold
  // the result to what it is meant to be before writing it anywhere.
  for (int i = 0; i < kKnots; ++i) {
    if (colours[kKnotX[i]] != kKnotRgb[i])
      throw std::runtime_error("groove misses a pinned colour");
  }
  for (int x = 0; x < kTrackWidth; ++x) {
    const auto [lo, hi] = std::minmax_element(colours[x].begin(), colours[x].end());
    if (*hi - *lo > 1) throw std::runtime_error("groove pixel is not grey");
    for (int ch = 0; x > 0 && ch < 3; ++ch) {
      const int step = colours[x][ch] - colours[x - 1][ch];
      if (step < -1 || step > 2) throw std::runtime_error("groove steps too sharply");
    }
  }
  return colours;
}

// Packs codes of a given width into bytes least significant bit first, as GIF's LZW wants.
class BitWriter {
 public:
  void Write(int code, int width) {
    acc_ |= static_cast<std::uint32_t>(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      Put8(out_, static_cast<int>(acc_ & 0xFF));
      acc_ >>= 8;
      bits_ -= 8;
    }
  }
  Bytes Finish() {
    if (bits_ > 0) Put8(out_, static_cast<int>(acc_ & 0xFF));
    acc_ = 0;
    bits_ = 0;
    return std::move(out_);
  }

 private:
  Bytes out_;
  std::uint32_t acc_ = 0;
  int bits_ = 0;
};

Bytes MakeTrackGif() {
  const std::vector<Rgb> colours = TrackColours();

  // Palette entries in order of first use; the rest of the 256 stay black.
  std::vector<Rgb> palette;
  std::vector<int> index;
  for (const Rgb& c : colours) {
    auto it = std::find(palette.begin(), palette.end(), c);
    if (it == palette.end()) it = palette.insert(palette.end(), c);
    index.push_back(static_cast<int>(it - palette.begin()));
  }
  if (palette.size() > 256) throw std::runtime_error("groove needs more than 256 colours");

  Bytes gif;
  for (char ch : std::string("GIF89a")) Put8(gif, ch);
  // Logical screen: the image's size, a 256-entry global table (flag, 8-bit colour
  // resolution, unsorted, size code 7), background index 0, square pixels.
  Put16(gif, kTrackWidth);
  Put16(gif, 1);
  Put8(gif, 0x80 | (7 << 4) | 7);
  Put8(gif, 0);
  Put8(gif, 0);
  for (int i = 0; i < 256; ++i) {
    const Rgb c = i < static_cast<int>(palette.size()) ? palette[i] : Rgb{0, 0, 0};
    for (int v : c) Put8(gif, v);
  }
  // One opaque still image covering the screen: no extensions, no local table, not interlaced.
  Put8(gif, 0x2C);
  Put16(gif, 0);
  Put16(gif, 0);
  Put16(gif, kTrackWidth);
  Put16(gif, 1);
  Put8(gif, 0);

  // The pixels go out uncompressed: a clear code, then every index as its own 9-bit literal.
  // A decoder still adds a table entry per code, but 252 pixels take it only from 258 to 509
  // entries, so the width never grows past 9 bits and no further clear code is needed. The
  // end-of-information code is left off: decoders stop at width × height pixels, and that
  // last code would spill into a 286th byte and push the file past its 1081 bytes.
  constexpr int kMinCodeSize = 8;
  constexpr int kClear = 1 << kMinCodeSize;
  constexpr int kWidth = kMinCodeSize + 1;
  BitWriter bits;
  bits.Write(kClear, kWidth);
  for (int i : index) bits.Write(i, kWidth);
  const Bytes lzw = bits.Finish();

  Put8(gif, kMinCodeSize);
  for (std::size_t at = 0; at < lzw.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, lzw.size() - at);
    Put8(gif, static_cast<int>(n));
    gif.insert(gif.end(), lzw.begin() + static_cast<std::ptrdiff_t>(at),
               lzw.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  Put8(gif, 0);
  Put8(gif, 0x3B);
  return gif;
}

// ---------------------------------------------------------------------------------------------
// The icons: a light-grey monitor on a stand whose screen fades from dark to light, the way
// the program dims. Shapes are laid out on a 128-unit grid and sampled 4 × 4 per pixel, so
// the edges are antialiased at any icon size that is a multiple of 16.

constexpr int kSub = 4;  // samples per pixel along each axis

// A rounded rectangle on the design grid: [x0, x1) × [y0, y1), corner radius r.
struct Box {
  int x0, y0, x1, y1, r;
};

// Sample positions are measured in eighths of a pixel (sample centres fall on odd eighths);
// one design unit is size / 128 pixels, that is size / 16 eighths.
struct Grid {
  long long unit;  // eighths of a pixel per design unit

  bool In(const Box& b, long long u, long long v) const {
    const long long x0 = b.x0 * unit, x1 = b.x1 * unit, y0 = b.y0 * unit, y1 = b.y1 * unit;
    const long long r = b.r * unit;
    if (u < x0 || u >= x1 || v < y0 || v >= y1) return false;
    const long long dx = u - std::clamp(u, x0 + r, x1 - r);
    const long long dy = v - std::clamp(v, y0 + r, y1 - r);
    return dx * dx + dy * dy <= r * r;
  }
  bool InDisc(int cx, int cy, int r, long long u, long long v) const {
    const long long dx = u - cx * unit, dy = v - cy * unit, rr = r * unit;
    return dx * dx + dy * dy <= rr * rr;
  }
};

constexpr Rgb kOutline = {100, 102, 108};
constexpr Rgb kBezel = {210, 211, 215};
constexpr Rgb kStand = {188, 190, 194};
constexpr Rgb kScreenFrame = {66, 68, 74};
constexpr Rgb kMoon = {250, 234, 160};
constexpr int kScreenDark = 26;
constexpr int kScreenLight = 236;

constexpr Box kScreen = {16, 22, 112, 86, 1};
constexpr Box kScreenEdge = {14, 20, 114, 88, 2};
constexpr Box kBezelFace = {8, 14, 120, 96, 7};
constexpr Box kBezelEdge = {6, 12, 122, 98, 9};
constexpr Box kNeckFace = {58, 96, 70, 110, 0};
constexpr Box kNeckEdge = {56, 96, 72, 110, 0};
constexpr Box kFootFace = {34, 110, 94, 118, 3};
constexpr Box kFootEdge = {32, 108, 96, 120, 5};

// The colour at one sample, topmost shape first; nothing means background.
std::optional<Rgb> MonitorAt(const Grid& g, long long u, long long v, bool moon) {
  if (moon && g.InDisc(34, 36, 10, u, v) && !g.InDisc(39, 32, 9, u, v)) return kMoon;
  if (g.In(kScreen, u, v)) {
    const long long x0 = kScreen.x0 * g.unit, span = (kScreen.x1 - kScreen.x0) * g.unit;
    const int level =
        static_cast<int>(kScreenDark + (kScreenLight - kScreenDark) * (u - x0) / span);
    return Rgb{level, level, level};
  }
  if (g.In(kScreenEdge, u, v)) return kScreenFrame;
  if (g.In(kBezelFace, u, v)) return kBezel;
  if (g.In(kBezelEdge, u, v)) return kOutline;
  if (g.In(kNeckFace, u, v)) return kStand;
  if (g.In(kNeckEdge, u, v)) return kOutline;
  if (g.In(kFootFace, u, v)) return kStand;
  if (g.In(kFootEdge, u, v)) return kOutline;
  return std::nullopt;
}

// A 32-bit icon image: BITMAPINFOHEADER, BGRA rows bottom-up with straight alpha, then the
// 1-bit AND mask bottom-up (set where the pixel is fully transparent, for old renderers).
Bytes MakeIcon(int size, bool moon) {
  const Grid g{size / 16};
  std::vector<std::array<int, 4>> bgra(static_cast<std::size_t>(size) * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int hits = 0;
      Rgb sum{};
      for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
          const long long u = 8LL * x + 2 * sx + 1, v = 8LL * y + 2 * sy + 1;
          if (const auto c = MonitorAt(g, u, v, moon)) {
            ++hits;
            for (int ch = 0; ch < 3; ++ch) sum[ch] += (*c)[ch];
          }
        }
      }
      auto& px = bgra[static_cast<std::size_t>(y) * size + x];
      if (hits == 0) continue;
      for (int ch = 0; ch < 3; ++ch) px[2 - ch] = (sum[ch] + hits / 2) / hits;
      px[3] = (hits * 255 + kSub * kSub / 2) / (kSub * kSub);
    }
  }

  const int mask_stride = (size / 8 + 3) / 4 * 4;
  const std::uint32_t pixel_bytes = static_cast<std::uint32_t>(size) * size * 4;
  const std::uint32_t mask_bytes = static_cast<std::uint32_t>(mask_stride) * size;

  Bytes dib;
  Put32(dib, 40);
  Put32(dib, static_cast<std::uint32_t>(size));
  Put32(dib, static_cast<std::uint32_t>(size) * 2);  // colour rows plus mask rows
  Put16(dib, 1);
  Put16(dib, 32);
  Put32(dib, 0);  // BI_RGB
  Put32(dib, pixel_bytes + mask_bytes);
  for (int i = 0; i < 4; ++i) Put32(dib, 0);  // resolution and palette fields unused
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      for (int v : bgra[static_cast<std::size_t>(y) * size + x]) Put8(dib, v);
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    Bytes row(static_cast<std::size_t>(mask_stride), 0);
    for (int x = 0; x < size; ++x) {
      if (bgra[static_cast<std::size_t>(y) * size + x][3] == 0) {
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    dib.insert(dib.end(), row.begin(), row.end());
  }
  return dib;
}

// An .ico file holding one image.
Bytes MakeIco(int size, bool moon) {
  const Bytes image = MakeIcon(size, moon);
  Bytes ico;
  Put16(ico, 0);                      // reserved
  Put16(ico, 1);                      // icon, not cursor
  Put16(ico, 1);                      // one image
  Put8(ico, size == 256 ? 0 : size);  // 0 stands for 256
  Put8(ico, size == 256 ? 0 : size);
  Put8(ico, 0);  // no palette
  Put8(ico, 0);
  Put16(ico, 1);   // planes
  Put16(ico, 32);  // bits per pixel
  Put32(ico, static_cast<std::uint32_t>(image.size()));
  Put32(ico, 6 + 16);
  ico.insert(ico.end(), image.begin(), image.end());
  return ico;
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_assets <output folder>\n";
    return 2;
  }
  try {
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    WriteFile(dir / "track.gif", MakeTrackGif());
    WriteFile(dir / "tray.ico", MakeIco(128, false));
    WriteFile(dir / "app.ico", MakeIco(256, true));
  } catch (const std::exception& e) {
    std::cerr << "make_assets: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
