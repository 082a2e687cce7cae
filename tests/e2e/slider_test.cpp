// The slider of the real program, driven with real X input: a press on the
// knob and moves of the pointer place the knob under the cursor inside its
// track, rewrite the readout and set the display's ramp on every move; the
// drag ends with the release, wherever it happens, or when the knob loses the
// mouse capture; and the window is repainted so the knob leaves no trail.
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

namespace e2e {
namespace {

using SliderTest = ScreendimTest;

// The frame box stands at 2,2 in the borderless window; the knob's left is
// read in the frame box, the pointer is placed relative to the window.
constexpr int kFrameLeft = 2;
constexpr int kKnobTop = 43;  // in the window
constexpr int kKnobWidth = 12;
constexpr int kKnobHeight = 28;
constexpr int kKnobRow = kKnobTop + kKnobHeight / 2;
constexpr int kTrackTop = 53;  // in the window
constexpr int kTrackHeight = 8;

constexpr std::uint32_t kKnobBlue = Rgb(42, 87, 154);
constexpr std::uint32_t kKnobHotBlue = Rgb(62, 109, 182);  // hovered or pressed
constexpr std::uint32_t kCloseHot = Rgb(255, 0, 0);
constexpr std::uint32_t kWhite = Rgb(255, 255, 255);

// The part of the window below the blue strip: the slider, the captions and
// the frame's outline. Everything in it but the knob stays as it is.
constexpr int kBandTop = 30;
constexpr int kBandBottom = 90;
constexpr int kFrameInsideBottom = 86;  // the frame's outline below it

// A place of the close button that shows its hover colour, and one on the
// readout that hovers nothing.
constexpr int kCloseX = 291, kCloseY = 15, kClosePixelX = 276, kClosePixelY = 5;
constexpr int kNeutralX = 100, kNeutralY = 15;

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring ReadoutText(int value) { return L"        屏幕亮度：" + std::to_wstring(value); }

// The label's own text, asked of the label itself.
std::wstring ReadoutOf(HWND label) {
  wchar_t text[64] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(label, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, &copied);
  return text;
}

bool RampIsAt(int offset) {
  return RampDistance(ReadScreenRamp(), Scaled(IdentityRamp(), offset)) <= kRampTolerance;
}

std::string Point(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

// The window and the knob under test, with the pointer placed relative to the
// window's outer top left.
struct Slider {
  Program& program;
  HWND window;
  HWND frame;
  HWND knob;
  HWND readout;

  explicit Slider(Program& p)
      : program(p),
        window(p.Window()),
        frame(p.Control(kFrame)),
        knob(p.Control(kKnob)),
        readout(p.Control(kReadout)) {}

  RECT Rect() const { return ScreenRect(window); }
  int KnobLeft() const { return ScreenRect(knob).left - ScreenRect(frame).left; }
  int KnobTop() const { return ScreenRect(knob).top - ScreenRect(window).top; }

  void MoveTo(int x, int y) const {
    const RECT rect = Rect();
    MovePointer(rect.left + x, rect.top + y);
  }
  // Presses the knob on one of its columns, coming from the readout.
  void PressKnob(int column) const {
    MoveTo(kFrameLeft + KnobLeft() + column, kKnobRow);
    Xdo("mousedown 1");
  }
  Capture Shot() const { return Capture(Rect()); }

  // Waits until the program has taken every input given so far: the close
  // button lights up once the pointer's move onto it is handled, and moves
  // are handled in order. The pointer ends over the readout.
  void Settle() const {
    MoveTo(kCloseX, kCloseY);
    EXPECT_TRUE(WaitFor([&] { return Shot().At(kClosePixelX, kClosePixelY) == kCloseHot; }))
        << "the close button never lit up under the pointer";
    MoveTo(kNeutralX, kNeutralY);
    EXPECT_TRUE(WaitFor([&] { return Shot().At(kClosePixelX, kClosePixelY) != kCloseHot; }))
        << "the close button stayed lit after the pointer left";
  }
};

// The slider band as the window paints it with no knob: every pixel of the
// band, in the window's coordinates.
class Bare {
 public:
  // From a shot with the knob at one place and a shot with it at another,
  // each giving the columns that the other's knob covers.
  Bare(const Capture& first, int first_knob, const Capture& second) {
    for (int y = kBandTop; y < kBandBottom; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool covered = x >= kFrameLeft + first_knob && x < kFrameLeft + first_knob + kKnobWidth;
        pixels_.push_back((covered ? second : first).At(x, y));
      }
  }
  std::uint32_t At(int x, int y) const { return pixels_[(y - kBandTop) * kWidth + x]; }
  static constexpr int kWidth = 314;

 private:
  std::vector<std::uint32_t> pixels_;
};

bool InKnob(int x, int y, int knob) {
  return x >= kFrameLeft + knob && x < kFrameLeft + knob + kKnobWidth && y >= kKnobTop &&
         y < kKnobTop + kKnobHeight;
}

// What is wrong with the band of a shot for the knob at a left, or nothing:
// the knob all blue where it stands, the bare band everywhere else, so no
// knob-coloured trail on the track or the captions and nothing unpainted
// where the knob has been.
std::string PaintingFault(const Capture& shot, const Bare& bare, int knob) {
  const std::uint32_t face = shot.At(kFrameLeft + knob, kKnobTop);
  if (face != kKnobBlue && face != kKnobHotBlue) return "the knob shows " + Hex(face);
  for (int y = kBandTop; y < kBandBottom; ++y)
    for (int x = 0; x < Bare::kWidth; ++x) {
      const std::uint32_t expected = InKnob(x, y, knob) ? face : bare.At(x, y);
      if (shot.At(x, y) != expected)
        return "window pixel " + Point(x, y) + " is " + Hex(shot.At(x, y)) + ", not " + Hex(expected);
    }
  return {};
}

// The columns that only the bare picture's second shot gave must look like
// the band without a knob: white, with the grey groove across the track's
// rows. Checked once, so a trail left at the knob's first place cannot hide
// in the picture it is compared with.
std::string BareColumnsFault(const Bare& bare, int knob) {
  for (int x = kFrameLeft + knob; x < kFrameLeft + knob + kKnobWidth; ++x)
    for (int y = kBandTop; y < kFrameInsideBottom; ++y) {
      const std::uint32_t pixel = bare.At(x, y);
      const int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
      const bool groove = y >= kTrackTop && y < kTrackTop + kTrackHeight;
      const bool grey = std::abs(r - g) <= 2 && std::abs(g - b) <= 2 && r < 0xF0;
      if (groove ? !grey : pixel != kWhite)
        return "where the knob stood, window pixel " + Point(x, y) + " is " + Hex(pixel);
    }
  return {};
}

// Waits for the knob at a left in the frame box, the readout showing a value
// and the display's ramp at an offset, and the window painted to match.
void ExpectSlider(const Slider& slider, const Bare& bare, int knob, int readout, int offset,
                  const std::string& shot_name) {
  EXPECT_TRUE(WaitFor([&] { return slider.KnobLeft() == knob; }))
      << "the knob stands at " << slider.KnobLeft() << ", not " << knob;
  EXPECT_EQ(slider.KnobTop(), kKnobTop);
  EXPECT_TRUE(WaitFor([&] { return ReadoutOf(slider.readout) == ReadoutText(readout); }))
      << "the readout says \"" << Utf8(ReadoutOf(slider.readout)) << "\", not " << readout;
  EXPECT_TRUE(WaitFor([&] { return RampIsAt(offset); }))
      << "the ramp is " << RampDistance(ReadScreenRamp(), Scaled(IdentityRamp(), offset))
      << " away from the offset " << offset;
  std::string fault;
  EXPECT_TRUE(WaitFor([&] {
    fault = PaintingFault(slider.Shot(), bare, knob);
    return fault.empty();
  })) << fault << " (saved as " << slider.Shot().Save(shot_name) << ")";
}

// A place of the pointer during a drag, relative to the window's outer top
// left, and where the knob, the readout and the ramp must then be.
struct Step {
  int x, y;
  int knob, readout, offset;
};

// Pressed on column 5, the knob's left in the frame box is the pointer's x
// in the window - 2 - 5, held to the track's travel 28..268. Every step moves
// the knob, so its new place shows that the program has taken the move.
constexpr int kColumn = 5;
constexpr Step kDrag[] = {
    {100, kKnobRow, 93, 27, -40},   // first: far from where it started
    {200, kKnobRow, 193, 68, -24},
    {40, kKnobRow, 33, 2, -50},
    {35, kKnobRow, 28, 0, -50},     // the pointer exactly at the left end
    {36, kKnobRow, 29, 0, -50},
    {10, kKnobRow, 28, 0, -50},     // beyond the left end, over 暗
    {160, 200, 153, 52, -31},       // below the window
    {-60, 200, 28, 0, -50},         // left of the window
    {274, kKnobRow, 267, 99, -13},
    {275, kKnobRow, 268, 100, -12}, // exactly at the right end
    {274, kKnobRow, 267, 99, -13},
    {300, kKnobRow, 268, 100, -12}, // beyond the right end, over 亮
    {200, -40, 193, 68, -24},       // above the window
    {450, -40, 268, 100, -12},      // right of the window
};

TEST_F(SliderTest, KnobFollowsTheCursorWithinTheTrackAndSetsReadoutAndRamp) {
  Program program;
  ASSERT_TRUE(program.Start());
  ASSERT_TRUE(program.Window());
  const Slider slider(program);
  ASSERT_TRUE(WaitFor([] { return RampIsAt(-25); }));
  ASSERT_EQ(slider.KnobLeft(), 187);
  ASSERT_EQ(ReadoutOf(slider.readout), ReadoutText(66));
  const Capture start = slider.Shot();

  slider.PressKnob(kColumn);
  std::optional<Bare> bare;
  for (const Step& step : kDrag) {
    SCOPED_TRACE("pointer at " + Point(step.x, step.y) + " in the window");
    slider.MoveTo(step.x, step.y);
    if (!bare) {
      // The knob's window moves before its new picture reaches the screen;
      // the first settled shot gives the columns it covered at the start.
      std::string fault;
      EXPECT_TRUE(WaitFor([&] {
        bare.emplace(start, 187, slider.Shot());
        fault = BareColumnsFault(*bare, 187);
        return fault.empty();
      })) << fault << " (saved as " << slider.Shot().Save("slider-drag-first") << ")";
    }
    ExpectSlider(slider, *bare, step.knob, step.readout, step.offset,
                 "slider-drag-" + std::to_string(step.x));
  }

  // Released outside the window: the drag is over, and moves over the knob
  // with no button held, on other columns than the press, move nothing.
  Xdo("mouseup 1");
  for (const int x : {272, 279, 150, 276}) slider.MoveTo(x, kKnobRow);
  slider.Settle();
  ExpectSlider(slider, *bare, 268, 100, -12, "slider-after-release");

  EXPECT_EQ(program.Close(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadScreenRamp(), IdentityRamp()) << "closing did not give the display its ramp back";
}

}  // namespace
}  // namespace e2e
