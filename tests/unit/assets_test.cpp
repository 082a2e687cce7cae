// Checks the images under assets/. First, that each committed file is byte for byte what
// tools/make_assets draws today, so nobody edits a generated image by hand or changes the
// generator without regenerating. Second, that each file is well formed and shaped the way the
// resources expect, read with a small GIF/ICO reader of this test's own (including a general
// GIF LZW decoder) rather than with anything from the generator, so a generator bug cannot
// hide itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Rgb = std::array<int, 3>;

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path.string());
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int U16(const Bytes& b, std::size_t at) {
  if (at + 2 > b.size()) throw std::runtime_error("read past end of file");
  return b[at] | b[at + 1] << 8;
}
std::uint32_t U32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(U16(b, at)) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16;
}

// A scratch folder removed again when the test ends.
struct TempDir {
  fs::path path;
  TempDir() {
    std::random_device rd;
    do {
      path = fs::temp_directory_path() / ("screendim_assets_" + std::to_string(rd()));
    } while (!fs::create_directory(path));
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

const fs::path kAssets = ASSETS_DIR;

TEST(Assets, CommittedFilesMatchTheGenerator) {
  TempDir out;
  const std::string command =
      std::string("\"") + MAKE_ASSETS_EXE + "\" \"" + out.path.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  for (const char* name : {"track.gif", "tray.ico", "app.ico"}) {
    EXPECT_TRUE(ReadBytes(kAssets / name) == ReadBytes(out.path / name))
        << "assets/" << name << " is not what tools/make_assets draws; re-run `" << MAKE_ASSETS_EXE
        << " " << kAssets.string() << "` and commit the result";
  }
}

// ---------------------------------------------------------------------------------------------
// GIF

// Decodes a GIF LZW stream into colour indices: variable code width from min_size + 1 up to 12
// bits, clear codes anywhere, the KwKwK case, and an end code or simply the end of the data.
std::vector<int> DecodeLzw(const Bytes& data, int min_size) {
  const int clear = 1 << min_size;
  const int end = clear + 1;
  std::vector<std::vector<int>> table;
  int width = 0;
  auto reset = [&] {
    table.assign(static_cast<std::size_t>(end + 1), {});
    for (int i = 0; i < clear; ++i) table[static_cast<std::size_t>(i)] = {i};
    width = min_size + 1;
  };
  reset();
  std::vector<int> out;
  int prev = -1;
  for (std::size_t bit = 0; bit + static_cast<std::size_t>(width) <= data.size() * 8;) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    if (code == clear) {
      reset();
      prev = -1;
      continue;
    }
    if (code == end) break;
    std::vector<int> entry;
    const auto known = static_cast<int>(table.size());
    if (code < known) {
      entry = table[static_cast<std::size_t>(code)];
    } else if (code == known && prev >= 0) {
      entry = table[static_cast<std::size_t>(prev)];
      entry.push_back(entry.front());
    } else {
      throw std::runtime_error("LZW code " + std::to_string(code) + " not in the table");
    }
    if (prev >= 0 && table.size() < 4096) {
      std::vector<int> grown = table[static_cast<std::size_t>(prev)];
      grown.push_back(entry.front());
      table.push_back(std::move(grown));
    }
    out.insert(out.end(), entry.begin(), entry.end());
    prev = code;
    if (table.size() == (std::size_t{1} << width) && width < 12) ++width;
  }
  return out;
}

struct Gif {
  int width = 0, height = 0;
  int screen_flags = 0, image_flags = 0;
  bool extensions = false;  // any block other than the one image before the trailer
  std::vector<Rgb> pixels;
};

Gif ReadGif(const Bytes& b) {
  Gif gif;
  if (b.size() < 13 || std::string(b.begin(), b.begin() + 6) != "GIF89a") {
    throw std::runtime_error("not a GIF89a file");
  }
  gif.screen_flags = b[10];
  std::vector<Rgb> table;
  std::size_t at = 13;
  if (gif.screen_flags & 0x80) {
    const std::size_t n = std::size_t{2} << (gif.screen_flags & 7);
    if (at + 3 * n > b.size()) throw std::runtime_error("colour table past end of file");
    for (std::size_t i = 0; i < n; ++i, at += 3) table.push_back({b[at], b[at + 1], b[at + 2]});
  }
  auto byte = [&] {
    if (at >= b.size()) throw std::runtime_error("read past end of file");
    return static_cast<int>(b[at++]);
  };
  auto sub_blocks = [&] {
    Bytes data;
    for (int n = byte(); n != 0; n = byte()) {
      if (at + static_cast<std::size_t>(n) > b.size()) throw std::runtime_error("truncated block");
      data.insert(data.end(), b.begin() + static_cast<std::ptrdiff_t>(at),
                  b.begin() + static_cast<std::ptrdiff_t>(at) + n);
      at += static_cast<std::size_t>(n);
    }
    return data;
  };
  bool have_image = false;
  for (int block = byte(); block != 0x3B; block = byte()) {
    if (block == 0x21) {
      gif.extensions = true;
      byte();
      sub_blocks();
    } else if (block == 0x2C && !have_image) {
      have_image = true;
      if (U16(b, at) != 0 || U16(b, at + 2) != 0) throw std::runtime_error("image is offset");
      gif.width = U16(b, at + 4);
      gif.height = U16(b, at + 6);
      at += 8;
      gif.image_flags = byte();
      if (gif.image_flags & 0x80) throw std::runtime_error("local colour table");
      const int min_size = byte();
      for (int i : DecodeLzw(sub_blocks(), min_size)) {
        if (static_cast<std::size_t>(i) >= table.size()) throw std::runtime_error("bad index");
        gif.pixels.push_back(table[static_cast<std::size_t>(i)]);
      }
    } else {
      throw std::runtime_error("unexpected block " + std::to_string(block));
    }
  }
  if (at != b.size()) throw std::runtime_error("bytes after the trailer");
  if (U16(b, 6) != gif.width || U16(b, 8) != gif.height) {
    throw std::runtime_error("image and logical screen differ in size");
  }
  return gif;
}

TEST(Assets, TrackIsAStillGreyGradient) {
  const Bytes bytes = ReadBytes(kAssets / "track.gif");
  EXPECT_EQ(bytes.size(), 1081u);
  const Gif gif = ReadGif(bytes);

  EXPECT_EQ(gif.width, 252);
  EXPECT_EQ(gif.height, 1);
  // Global table present, colour resolution field 7, unsorted, 256 entries.
  EXPECT_EQ(gif.screen_flags, 0xF7);
  EXPECT_EQ(gif.image_flags, 0) << "local colour table or interlacing";
  EXPECT_FALSE(gif.extensions) << "no transparency or animation blocks belong in the groove";
  ASSERT_EQ(gif.pixels.size(), 252u);

  const struct {
    int x;
    Rgb rgb;
  } samples[] = {{0, {81, 81, 81}},      {31, {92, 92, 91}},     {63, {107, 107, 106}},
                 {94, {124, 123, 123}},  {126, {142, 142, 142}}, {157, {160, 161, 161}},
                 {189, {178, 179, 179}}, {220, {193, 193, 193}}, {251, {205, 206, 206}}};
  for (const auto& s : samples) EXPECT_EQ(gif.pixels[static_cast<std::size_t>(s.x)], s.rgb) << s.x;

  for (std::size_t x = 0; x < gif.pixels.size(); ++x) {
    const Rgb& c = gif.pixels[x];
    const auto [lo, hi] = std::minmax_element(c.begin(), c.end());
    EXPECT_LE(*hi - *lo, 1) << "column " << x << " is not grey";
    for (std::size_t ch = 0; x > 0 && ch < 3; ++ch) {
      const int step = c[ch] - gif.pixels[x - 1][ch];
      EXPECT_TRUE(step >= -1 && step <= 2)
          << "column " << x << " channel " << ch << " steps " << step;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// ICO

TEST(Assets, IconsAreSingle32BitBitmaps) {
  const struct {
    const char* name;
    int size;
    std::size_t file_size;
  } icons[] = {{"tray.ico", 128, 67646}, {"app.ico", 256, 270398}};

  for (const auto& icon : icons) {
    SCOPED_TRACE(icon.name);
    const Bytes b = ReadBytes(kAssets / icon.name);
    const int n = icon.size;
    const std::size_t pixel_bytes = static_cast<std::size_t>(n) * n * 4;
    const std::size_t stride = static_cast<std::size_t>((n / 8 + 3) / 4 * 4);
    const std::size_t mask_bytes = stride * static_cast<std::size_t>(n);
    ASSERT_EQ(b.size(), icon.file_size);
    ASSERT_EQ(b.size(), 22 + 40 + pixel_bytes + mask_bytes);

    // ICONDIR and its one entry; a 256-pixel side is written as 0.
    EXPECT_EQ(U16(b, 0), 0);
    EXPECT_EQ(U16(b, 2), 1);
    EXPECT_EQ(U16(b, 4), 1);
    EXPECT_EQ(b[6], n % 256);
    EXPECT_EQ(b[7], n % 256);
    EXPECT_EQ(b[8], 0);
    EXPECT_EQ(b[9], 0);
    EXPECT_EQ(U16(b, 10), 1);
    EXPECT_EQ(U16(b, 12), 32);
    EXPECT_EQ(U32(b, 14), b.size() - 22);
    EXPECT_EQ(U32(b, 18), 22u);

    // BITMAPINFOHEADER: double height for the colour and mask halves, uncompressed.
    EXPECT_EQ(U32(b, 22), 40u);
    EXPECT_EQ(U32(b, 26), static_cast<std::uint32_t>(n));
    EXPECT_EQ(U32(b, 30), static_cast<std::uint32_t>(2 * n));
    EXPECT_EQ(U16(b, 34), 1);
    EXPECT_EQ(U16(b, 36), 32);
    EXPECT_EQ(U32(b, 38), 0u);
    const std::uint32_t image_size = U32(b, 42);
    EXPECT_TRUE(image_size == 0 || image_size == pixel_bytes + mask_bytes) << image_size;

    // Rows are stored bottom-up; these take top-down coordinates.
    auto pixel = [&](int x, int y) {
      const std::size_t at = 62 + (static_cast<std::size_t>(n - 1 - y) * n + x) * 4;
      return std::array<int, 4>{b[at + 2], b[at + 1], b[at], b[at + 3]};  // R, G, B, A
    };
    auto masked = [&](int x, int y) {
      const std::size_t at = 62 + pixel_bytes + static_cast<std::size_t>(n - 1 - y) * stride;
      return (b[at + static_cast<std::size_t>(x / 8)] >> (7 - x % 8) & 1) == 1;
    };

    const std::array<std::array<int, 2>, 4> corners = {
        {{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}}};
    for (auto [x, y] : corners) {
      EXPECT_EQ(pixel(x, y)[3], 0) << "corner " << x << "," << y << " is not transparent";
    }
    // Renderers that ignore alpha rely on the mask, so it must mark exactly the clear pixels.
    int mismatches = 0;
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) mismatches += masked(x, y) != (pixel(x, y)[3] == 0);
    }
    EXPECT_EQ(mismatches, 0) << "pixels whose AND-mask bit disagrees with their alpha";

    // Across the middle of the screen: opaque greys brightening left to right.
    const int y = n * 45 / 100;
    int first = -1, last = -1;
    for (int x = n / 4, prev = -1; x <= n * 3 / 4; ++x) {
      const auto p = pixel(x, y);
      ASSERT_EQ(p[3], 255) << "screen pixel " << x << "," << y;
      EXPECT_LE(std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}), 2) << x;
      EXPECT_GE(p[1], prev) << "screen darkens at " << x << "," << y;
      prev = p[1];
      if (first < 0) first = p[1];
      last = p[1];
    }
    EXPECT_GE(last - first, 80) << "screen ramp is too flat";
  }
}

}  // namespace
