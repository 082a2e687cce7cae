// The window as the user sees and handles it, on the real program: its place,
// frame and owner, the eight controls it is built from, the pixels of a
// screen capture, the buttons' hover and pressed looks, the tooltip, the
// images the executable carries, and which presses move it by dragging.
//
// Coordinates below are in the window (0, 0 is its top-left pixel) unless a
// name says screen. Screenshots go to the artifacts folder as window-*.bmp.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/e2e/harness.h"

namespace e2e {
namespace {

constexpr std::uint32_t kBlue = Rgb(42, 87, 154);
constexpr std::uint32_t kLightBlue = Rgb(62, 109, 182);
constexpr std::uint32_t kRed = Rgb(255, 0, 0);
constexpr std::uint32_t kWhite = Rgb(255, 255, 255);
constexpr std::uint32_t kCaptionBlue = Rgb(0, 96, 192);
constexpr std::uint32_t kMagenta = Rgb(255, 0, 255);

constexpr int kWidth = 314;
constexpr int kHeight = 90;

int Red(std::uint32_t c) {
  return static_cast<int>(c >> 16 & 0xFF);
}
int Green(std::uint32_t c) {
  return static_cast<int>(c >> 8 & 0xFF);
}
int Blue(std::uint32_t c) {
  return static_cast<int>(c & 0xFF);
}

// The largest difference of one channel.
int ColourDistance(std::uint32_t a, std::uint32_t b) {
  return std::max(
      {std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)), std::abs(Blue(a) - Blue(b))});
}

// An inclusive rectangle of window pixels.
struct Box {
  int left, top, right, bottom;
  bool operator==(const Box&) const = default;
};

std::string Describe(const Box& box) {
  return "x " + std::to_string(box.left) + "-" + std::to_string(box.right) + ", y " +
         std::to_string(box.top) + "-" + std::to_string(box.bottom);
}

// Where the controls stand in the window, as laid out.
constexpr Box kReadoutBox{2, 2, 229, 29};
constexpr Box kHideBox{231, 2, 270, 29};
constexpr Box kCloseBox{272, 2, 311, 29};
constexpr Box kKnobBox{189, 43, 200, 70};
constexpr Box kTrackBox{30, 53, 281, 60};
constexpr Box kCaptionsBox{9, 48, 309, 64};

// The smallest box holding every pixel of `within` that `wanted` accepts, or
// nothing when there is none.
template <typename Wanted>
std::optional<Box> BoundsOf(const Capture& shot, const Box& within, Wanted wanted) {
  std::optional<Box> bounds;
  for (int y = within.top; y <= within.bottom; ++y)
    for (int x = within.left; x <= within.right; ++x) {
      if (!wanted(shot.At(x, y))) continue;
      if (!bounds) bounds = Box{x, y, x, y};
      bounds->left = std::min(bounds->left, x);
      bounds->right = std::max(bounds->right, x);
      bounds->top = std::min(bounds->top, y);
      bounds->bottom = std::max(bounds->bottom, y);
    }
  return bounds;
}

// Every pixel of a box shows one colour; if not, how many do not, and the first.
::testing::AssertionResult AllOf(const Capture& shot, const Box& box, std::uint32_t colour) {
  int wrong = 0;
  std::string first;
  for (int y = box.top; y <= box.bottom; ++y)
    for (int x = box.left; x <= box.right; ++x)
      if (shot.At(x, y) != colour && wrong++ == 0)
        first = std::to_string(x) + "," + std::to_string(y) + " is " + Hex(shot.At(x, y));
  if (wrong == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << wrong << " pixels of " << Describe(box) << " are not "
                                       << Hex(colour) << ", first " << first;
}

// Text is drawn antialiased: a stroke pixel is the text colour laid over the
// background with some coverage. This gives that coverage, 0 (background)
// to 1 (text colour), or -1 when the pixel is no such blend of the two.
double InkShare(std::uint32_t pixel, std::uint32_t ink, std::uint32_t paper) {
  const int p[] = {Red(pixel), Green(pixel), Blue(pixel)};
  const int i[] = {Red(ink), Green(ink), Blue(ink)};
  const int b[] = {Red(paper), Green(paper), Blue(paper)};
  int widest = 0;
  for (int k = 1; k < 3; ++k)
    if (std::abs(i[k] - b[k]) > std::abs(i[widest] - b[widest])) widest = k;
  const double share = static_cast<double>(p[widest] - b[widest]) / (i[widest] - b[widest]);
  if (share < -0.02 || share > 1.02) return -1;
  for (int k = 0; k < 3; ++k)
    if (std::abs(p[k] - (b[k] + share * (i[k] - b[k]))) > 6) return -1;
  return share;
}

// What a text of one colour on a background shows in a box: where its
// strokes lie, how strong the strongest is, and whether any pixel is neither
// the background nor a blend of the text colour over it.
struct Ink {
  std::optional<Box> bounds;  // pixels with a coverage of a quarter or more
  double strongest = 0;
  int foreign = 0;
};

Ink InkIn(const Capture& shot, const Box& box, std::uint32_t ink, std::uint32_t paper) {
  Ink found;
  for (int y = box.top; y <= box.bottom; ++y)
    for (int x = box.left; x <= box.right; ++x) {
      const double share = InkShare(shot.At(x, y), ink, paper);
      if (share < 0) {
        ++found.foreign;
        continue;
      }
      found.strongest = std::max(found.strongest, share);
      if (share < 0.25) continue;
      if (!found.bounds) found.bounds = Box{x, y, x, y};
      found.bounds->left = std::min(found.bounds->left, x);
      found.bounds->right = std::max(found.bounds->right, x);
      found.bounds->top = std::min(found.bounds->top, y);
      found.bounds->bottom = std::max(found.bounds->bottom, y);
    }
  return found;
}

// A text's strokes should reach at least this coverage somewhere: what a
// stroke a pixel wide gives, not a faint smear of some other colour.
constexpr double kSolidInk = 0.6;

// Whether a tooltip's two characters show as glyphs rather than the empty
// boxes of a face without them: split at its middle, each half of the text
// has strokes inside its own outline, which an empty box has not.
bool DrawnInGlyphs(const Capture& tip) {
  const std::uint32_t paper = tip.At(2, 2);
  const auto is_ink = [&](std::uint32_t c) { return ColourDistance(c, paper) > 64; };
  const auto text = BoundsOf(tip, {1, 1, tip.width() - 2, tip.height() - 2}, is_ink);
  if (!text) return false;
  const int middle = (text->left + text->right) / 2;
  for (const Box& half : {Box{text->left, text->top, middle, text->bottom},
                          Box{middle + 1, text->top, text->right, text->bottom}}) {
    const auto glyph = BoundsOf(tip, half, is_ink);
    if (!glyph || glyph->right - glyph->left < 4 || glyph->bottom - glyph->top < 4) return false;
    if (!BoundsOf(tip, {glyph->left + 1, glyph->top + 1, glyph->right - 1, glyph->bottom - 1},
                  is_ink))
      return false;
  }
  return true;
}

std::wstring MessageText(HWND window) {
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                      &copied);
  return std::wstring(text, copied);
}

std::wstring ExePath() {
  wchar_t path[MAX_PATH * 2] = {};
  const DWORD length = GetEnvironmentVariableW(L"SCREENDIM_EXE", path, MAX_PATH * 2);
  return length > 0 && length < MAX_PATH * 2 ? path : L"screendim.exe";
}

// Runs a shell command line on the Unix side, where the X tools are, waits
// until it has finished and returns what it printed. Wine gives back no
// process to wait for when it starts a Unix program, so the command ends by
// making a marker file, and that is waited for.
std::string Unix(const std::string& command) {
  static int serial = 0;
  // Test runs on other X servers share /tmp, and a fresh Wine prefix hands
  // out the same process ids, so the display's number goes into the name.
  char display[64] = {};
  GetEnvironmentVariableA("DISPLAY", display, sizeof(display));
  std::string name = std::string("screendim-window-test") + display + "-" +
                     std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
  std::replace(name.begin(), name.end(), ':', '-');
  std::string line = "Z:\\bin\\sh -c \"(" + command + ") > /tmp/" + name +
                     ".out 2>&1; touch /tmp/" + name + ".done\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info);
  EXPECT_TRUE(started) << "could not run " << command;
  if (!started) return {};
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  const std::string out = "Z:\\tmp\\" + name + ".out", done = "Z:\\tmp\\" + name + ".done";
  EXPECT_TRUE(
      WaitFor([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000ms))
      << command << " did not finish";
  std::ostringstream text;
  text << std::ifstream(out).rdbuf();
  DeleteFileA(out.c_str());
  DeleteFileA(done.c_str());
  return text.str();
}

// Real X input, finished when this returns.
void XdoDone(const std::string& arguments) {
  Unix("xdotool " + arguments);
}

// An icon's pixels as 0xAARRGGBB, top row first.
using IconPixels = std::vector<std::uint32_t>;

IconPixels PixelsOf(HICON icon, int size) {
  IconPixels pixels(static_cast<std::size_t>(size) * size);
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {};
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int rows = info.hbmColor ? GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &format,
                                             DIB_RGB_COLORS)
                                 : 0;
  ReleaseDC(nullptr, screen);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return rows == size ? pixels : IconPixels{};
}

// The executable, opened as data: its resources, none of its code.
class ExeResources {
 public:
  ExeResources()
      : module_(LoadLibraryExW(ExePath().c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ExeResources(const ExeResources&) = delete;
  ExeResources& operator=(const ExeResources&) = delete;
  ~ExeResources() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

class WindowTest : public ScreendimTest {
 protected:
  void SetUp() override {
    ScreendimTest::SetUp();
    if (HasFatalFailure()) return;
    // Nothing may be hovered when the window first paints.
    MovePointer(100, 100);
    ASSERT_TRUE(program_.Start());
    window_ = program_.Window();
    ASSERT_TRUE(window_) << "no window appeared";
    ASSERT_TRUE(WaitFor([&] { return Painted(Shot()); })) << "the window never finished painting";
  }

  static bool Painted(const Capture& shot) {
    return shot.At(0, 0) == kWhite && shot.At(4, 4) == kBlue && shot.At(150, 80) == kWhite &&
           shot.At(273, 3) == kBlue && shot.At(194, 44) == kBlue &&
           shot.At(30, 56) == Rgb(81, 81, 81);
  }

  Capture Shot() const { return Capture(ScreenRect(window_)); }

  POINT ScreenPoint(int x, int y) const {
    const RECT rect = ScreenRect(window_);
    return {rect.left + x, rect.top + y};
  }

  void PointAt(int x, int y) {
    const POINT at = ScreenPoint(x, y);
    MovePointer(at.x, at.y);
  }

  // Holds the left button down at a window point, moves the pointer by
  // (dx, dy) and lets go there.
  void Drag(int x, int y, int dx, int dy) {
    const POINT from = ScreenPoint(x, y);
    MovePointer(from.x, from.y);
    XdoDone("mousedown 1");
    // The window starts its move from wherever the pointer is when it has
    // taken the press in; two round trips through its message loop let it
    // take the press before the pointer goes on.
    for (int turn = 0; turn < 2; ++turn) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    }
    MovePointer(from.x + dx, from.y + dy);
    XdoDone("mouseup 1");
  }

  bool WindowAt(POINT place) const {
    const RECT rect = ScreenRect(window_);
    return rect.left == place.x && rect.top == place.y;
  }

  // Waits until a pixel of the window shows a colour.
  bool PixelBecomes(int x, int y, std::uint32_t colour) const {
    return WaitFor([&] { return Shot().At(x, y) == colour; });
  }

  Program program_;
  HWND window_ = nullptr;
};

TEST_F(WindowTest, IsABorderlessTopmostPanelWithoutATaskbarButton) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  const RECT rect = ScreenRect(window_);
  // Centred across, and 10 pixels above the middle: placed for its loaded
  // height of 110 before start-up made it 90 high.
  EXPECT_EQ(rect.left, 803);
  EXPECT_EQ(rect.top, 485);
  EXPECT_EQ(rect.right - rect.left, kWidth);
  EXPECT_EQ(rect.bottom - rect.top, kHeight);
  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right, kWidth) << "something takes space from the client area";
  EXPECT_EQ(client.bottom, kHeight) << "something takes space from the client area";

  const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
  const LONG_PTR ex_style = GetWindowLongPtrW(window_, GWL_EXSTYLE);
  EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
  for (const auto& [flag, name] : {std::pair{WS_BORDER, "WS_BORDER"},
                                   {WS_DLGFRAME, "WS_DLGFRAME"},
                                   {WS_THICKFRAME, "WS_THICKFRAME"},
                                   {WS_SYSMENU, "WS_SYSMENU"}})
    EXPECT_FALSE(style & flag) << name;
  EXPECT_FALSE(ex_style & WS_EX_APPWINDOW) << "it would get a taskbar button";
  EXPECT_EQ(GetWindowTextLengthW(window_), 0) << "the title is not empty";
  EXPECT_EQ(GetMenu(window_), nullptr) << "the tray's menu shows as a menu bar";

  HWND owner = GetWindow(window_, GW_OWNER);
  ASSERT_TRUE(owner) << "the window has no owner, so it gets a taskbar button";
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_TRUE(GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  DWORD owner_pid = 0;
  GetWindowThreadProcessId(owner, &owner_pid);
  EXPECT_EQ(owner_pid, program_.pid());
}

// Wine gives a window's large and small icons to X as _NET_WM_ICON (and a
// default logo when a window has none); these are compared with the
// executable's DEFAULT_ICON drawn at the same sizes.
TEST_F(WindowTest, TakesItsLargeAndSmallIconsFromTheProgramIcon) {
  const auto x_window = reinterpret_cast<ULONG_PTR>(GetPropW(window_, L"__wine_x11_whole_window"));
  ASSERT_NE(x_window, 0u) << "no X window for the main window";
  const std::string printed = Unix("xprop -id " + std::to_string(x_window) +
                                   " -notype -f _NET_WM_ICON 32c '=$0+' _NET_WM_ICON");
  const auto equals = printed.find('=');
  ASSERT_NE(equals, std::string::npos) << "xprop printed: " << printed;
  std::vector<std::uint32_t> words;
  std::istringstream numbers(printed.substr(equals + 1));
  for (unsigned long long word; numbers >> word;) {
    words.push_back(static_cast<std::uint32_t>(word));
    numbers.ignore(1, ',');
  }

  ExeResources exe;
  ASSERT_TRUE(exe.get());
  std::vector<int> sizes;
  for (std::size_t at = 0; at + 2 <= words.size();) {
    const int width = static_cast<int>(words[at]), height = static_cast<int>(words[at + 1]);
    const std::size_t count = static_cast<std::size_t>(width) * height;
    ASSERT_LE(at + 2 + count, words.size()) << "a cut-off icon in _NET_WM_ICON";
    ASSERT_EQ(width, height);
    sizes.push_back(width);
    HICON expected = static_cast<HICON>(
        LoadImageW(exe.get(), L"DEFAULT_ICON", IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
    ASSERT_TRUE(expected) << "no DEFAULT_ICON in the executable";
    const IconPixels want = PixelsOf(expected, width);
    DestroyIcon(expected);
    ASSERT_EQ(want.size(), count);
    int differing = 0;
    for (std::size_t i = 0; i < count; ++i)
      if (ColourDistance(want[i], words[at + 2 + i]) > 8 ||
          std::abs(static_cast<int>(want[i] >> 24) - static_cast<int>(words[at + 2 + i] >> 24)) > 8)
        ++differing;
    EXPECT_EQ(differing, 0) << "the " << width << "-pixel icon is not the program icon";
    at += 2 + count;
  }
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<int>{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CXICON)}))
      << "expected one small and one large icon";
}

TEST_F(WindowTest, IsBuiltFromTheFrameAndItsSevenControlsInStackingOrder) {
  struct Expected {
    int id;
    const char* name;
    Box place;  // in the window
    bool visible;
    const wchar_t* text;
  };
  // Topmost first; the knob and the length label as start-up leaves them,
  // matching the 25 % that it dims by.
  const Expected controls[] = {
      {kReadout, "readout", kReadoutBox, true, L"        屏幕亮度：66"},
      {kHideButton, "hide button", kHideBox, true, L"—"},
      {kCloseButton, "close button", kCloseBox, true, L"×"},
      {kKnob, "knob", kKnobBox, true, L""},
      {kTrack, "track", kTrackBox, true, L""},
      {kLengthLabel, "length label", {30, 67, 188, 70}, false, L""},
      {kCaptions, "captions", kCaptionsBox, true, L"暗                                 亮"},
  };
  const RECT window = ScreenRect(window_);
  const auto place_of = [&](HWND control) {
    const RECT r = ScreenRect(control);
    return Box{r.left - window.left, r.top - window.top, r.right - window.left - 1,
               r.bottom - window.top - 1};
  };

  HWND frame = GetWindow(window_, GW_CHILD);
  ASSERT_TRUE(frame);
  EXPECT_EQ(GetWindow(frame, GW_HWNDNEXT), nullptr) << "the frame is not the window's only child";
  EXPECT_EQ(GetDlgCtrlID(frame), kFrame);
  EXPECT_EQ(place_of(frame), (Box{2, 2, 311, 87}));
  EXPECT_TRUE(IsWindowVisible(frame));

  std::vector<int> order;
  for (HWND c = GetWindow(frame, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    order.push_back(GetDlgCtrlID(c));
  EXPECT_EQ(order, (std::vector<int>{kReadout, kHideButton, kCloseButton, kKnob, kTrack,
                                     kLengthLabel, kCaptions}))
      << "the frame's children, topmost first";

  std::vector<HWND> all{frame};
  for (const Expected& want : controls) {
    SCOPED_TRACE(want.name);
    HWND control = GetDlgItem(frame, want.id);
    ASSERT_TRUE(control);
    all.push_back(control);
    EXPECT_EQ(GetParent(control), frame);
    EXPECT_EQ(place_of(control), want.place) << Describe(place_of(control));
    EXPECT_EQ(IsWindowVisible(control) != FALSE, want.visible);
    EXPECT_EQ(MessageText(control), want.text);
  }
  for (HWND control : all) {
    SCOPED_TRACE(GetDlgCtrlID(control));
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    EXPECT_FALSE(style & WS_DISABLED);
    EXPECT_FALSE(style & WS_TABSTOP);
    EXPECT_EQ((GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0,
              GetDlgCtrlID(control) == kCaptions)
        << "only the captions paint over what lies beneath them";
  }
  for (int id : {kHideButton, kCloseButton, kKnob})
    EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(frame, id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW)
        << "control " << id << " is not an owner-drawn button";
}

TEST_F(WindowTest, LooksAsLaidOut) {
  const Capture shot = Shot();
  std::printf("saved %s\n", shot.Save("window-loaded").c_str());

  struct Area {
    const char* what;
    Box box;
    std::uint32_t colour;
  };
  const Area areas[] = {
      // A white margin two pixels wide on every side, rows 88 and 89 included.
      {"top margin", {0, 0, 313, 1}, kWhite},
      {"bottom margin", {0, 88, 313, 89}, kWhite},
      {"left margin", {0, 0, 1, 89}, kWhite},
      {"right margin", {312, 0, 313, 89}, kWhite},
      // The frame's blue outline, two pixels wide, left, right and below the strip.
      {"left outline", {2, 30, 3, 87}, kBlue},
      {"right outline", {310, 30, 311, 87}, kBlue},
      {"bottom outline", {2, 86, 311, 87}, kBlue},
      // Between the readout and the buttons the frame shows through: its
      // outline at the top, then its white fill, two thin white separators.
      {"separator at 230, outline", {230, 2, 230, 3}, kBlue},
      {"separator at 230", {230, 4, 230, 29}, kWhite},
      {"separator at 271, outline", {271, 2, 271, 3}, kBlue},
      {"separator at 271", {271, 4, 271, 29}, kWhite},
      // The frame's white fill above and below the slider.
      {"frame above the slider", {4, 30, 309, 42}, kWhite},
      {"frame below the slider", {4, 71, 309, 85}, kWhite},
      // The knob, all blue, no caption, standing across the track.
      {"knob", kKnobBox, kBlue},
      {"left of the knob", {188, 43, 188, 47}, kWhite},
      {"right of the knob", {201, 43, 201, 47}, kWhite},
      // The track's ends and the white it lies on.
      {"above the track", {30, 52, 188, 52}, kWhite},
      {"below the track", {30, 61, 188, 61}, kWhite},
  };
  for (const Area& area : areas) EXPECT_TRUE(AllOf(shot, area.box, area.colour)) << area.what;

  // The readout and the buttons are blue to their corners; the readout's
  // white text starts after its eight 8-pixel spaces and is 96 pixels long
  // ("屏幕亮度：" five 16-pixel characters, "66" two of 8).
  for (const Box& box : {kReadoutBox, kHideBox, kCloseBox})
    for (const auto& [x, y] : {std::pair{box.left, box.top},
                               {box.right, box.top},
                               {box.left, box.bottom},
                               {box.right, box.bottom}})
      EXPECT_EQ(shot.At(x, y), kBlue) << "strip corner " << x << "," << y;
  const Ink readout = InkIn(shot, kReadoutBox, kWhite, kBlue);
  EXPECT_EQ(readout.foreign, 0) << "pixels of the readout that are neither blue nor white text";
  EXPECT_GE(readout.strongest, kSolidInk);
  ASSERT_TRUE(readout.bounds) << "no readout text";
  EXPECT_GE(readout.bounds->left, 66) << Describe(*readout.bounds);
  EXPECT_LE(readout.bounds->left, 70) << "the text starts late: " << Describe(*readout.bounds);
  EXPECT_LE(readout.bounds->right, 66 + 96 - 1) << Describe(*readout.bounds);
  EXPECT_GE(readout.bounds->right, 66 + 96 - 8) << Describe(*readout.bounds);

  // The buttons' captions are white on blue, centred in the buttons.
  for (const Box& box : {kHideBox, kCloseBox}) {
    SCOPED_TRACE(Describe(box));
    const Ink caption = InkIn(shot, box, kWhite, kBlue);
    EXPECT_EQ(caption.foreign, 0) << "pixels that are neither blue nor white text";
    EXPECT_GE(caption.strongest, kSolidInk);
    ASSERT_TRUE(caption.bounds) << "no caption";
    const Box& ink = *caption.bounds;
    EXPECT_LE(std::abs((ink.left + ink.right) - (box.left + box.right)), 3)
        << "caption at " << Describe(ink);
    EXPECT_LE(std::abs((ink.top + ink.bottom) - (box.top + box.bottom)), 3)
        << "caption at " << Describe(ink);
  }

  // The track's stripes: each column one grey over its eight rows, dark at
  // the left end and light at the right end.
  for (int x = kTrackBox.left; x <= kTrackBox.right; ++x) {
    if (x >= kKnobBox.left && x <= kKnobBox.right) continue;
    EXPECT_TRUE(AllOf(shot, {x, kTrackBox.top, x, kTrackBox.bottom}, shot.At(x, kTrackBox.top)))
        << "track column " << x - kTrackBox.left;
  }
  EXPECT_LT(Green(shot.At(kTrackBox.left, 56)), 100) << Hex(shot.At(kTrackBox.left, 56));
  EXPECT_GT(Green(shot.At(kTrackBox.right, 56)), 190) << Hex(shot.At(kTrackBox.right, 56));

  // The end captions: 暗 left of the track and 亮 right of it, in caption
  // blue, with 8-pixel spaces between them; the captions label shows
  // nothing else.
  const Box dark{9, 48, 24, 64}, bright{289, 48, 304, 64};
  for (const Box& blank :
       {Box{25, 48, 29, 64}, Box{282, 48, 288, 64}, Box{305, 48, 309, 64}, Box{30, 48, 188, 52},
        Box{201, 48, 281, 52}, Box{30, 61, 188, 64}, Box{201, 61, 281, 64}})
    EXPECT_TRUE(AllOf(shot, blank, kWhite)) << "stray caption ink";
  for (const auto& [name, box] : {std::pair{"暗", dark}, {"亮", bright}}) {
    SCOPED_TRACE(name);
    const Ink glyph = InkIn(shot, box, kCaptionBlue, kWhite);
    EXPECT_EQ(glyph.foreign, 0) << "pixels that are neither white nor caption-blue text";
    EXPECT_GE(glyph.strongest, kSolidInk) << "no caption-blue strokes in " << Describe(box);
  }

  // The hidden length label's magenta shows nowhere.
  EXPECT_FALSE(BoundsOf(shot, {0, 0, kWidth - 1, kHeight - 1},
                        [](std::uint32_t c) { return c == kMagenta; }));
}

// The track image is decoded by the platform's codecs and stretched over the
// track, so each column shows the image's own grey in that column.
TEST_F(WindowTest, TrackShowsItsImageColumnByColumn) {
  const Capture shot = Shot();
  struct Sample {
    int column;
    std::uint32_t colour;
  };
  // Columns under the knob (159-170 as start-up leaves it) cannot be seen.
  for (const Sample& sample : {Sample{0, Rgb(81, 81, 81)},
                               {31, Rgb(92, 92, 91)},
                               {63, Rgb(107, 107, 106)},
                               {94, Rgb(124, 123, 123)},
                               {126, Rgb(142, 142, 142)},
                               {157, Rgb(160, 161, 161)},
                               {189, Rgb(178, 179, 179)},
                               {220, Rgb(193, 193, 193)},
                               {251, Rgb(205, 206, 206)}}) {
    const int x = kTrackBox.left + sample.column;
    for (int y = kTrackBox.top; y <= kTrackBox.bottom; ++y)
      EXPECT_EQ(shot.At(x, y), sample.colour)
          << "column " << sample.column << " row " << y - kTrackBox.top << " is "
          << Hex(shot.At(x, y)) << ", the image has " << Hex(sample.colour);
  }
}

TEST_F(WindowTest, ButtonsLightUpUnderThePointerAndGoBackWhenItLeaves) {
  struct Case {
    const char* name;
    Box box;
    std::uint32_t hover;
    bool captioned;
  };
  for (const Case& c : {Case{"close", kCloseBox, kRed, true},
                        {"hide", kHideBox, kLightBlue, true},
                        {"knob", kKnobBox, kLightBlue, false}}) {
    SCOPED_TRACE(c.name);
    const int corner_x = c.box.left + 1, corner_y = c.box.top + 1;
    PointAt((c.box.left + c.box.right) / 2, (c.box.top + c.box.bottom) / 2);
    EXPECT_TRUE(PixelBecomes(corner_x, corner_y, c.hover))
        << "still " << Hex(Shot().At(corner_x, corner_y));
    const Capture hovered = Shot();
    std::printf("saved %s\n", hovered.Save(std::string("window-hover-") + c.name).c_str());
    if (c.captioned) {
      const Ink caption = InkIn(hovered, c.box, kWhite, c.hover);
      EXPECT_EQ(caption.foreign, 0) << "pixels that are neither the hover colour nor white text";
      EXPECT_GE(caption.strongest, kSolidInk) << "no white caption";
    } else {
      EXPECT_TRUE(AllOf(hovered, c.box, c.hover));
    }
    for (const Box& other : {kHideBox, kCloseBox, kKnobBox})
      if (!(other == c.box)) {
        EXPECT_EQ(hovered.At(other.left + 1, other.top + 1), kBlue) << "another button lit up";
      }

    PointAt(150, 80);
    EXPECT_TRUE(PixelBecomes(corner_x, corner_y, kBlue))
        << "still " << Hex(Shot().At(corner_x, corner_y)) << " after the pointer left";
    EXPECT_EQ(InkIn(Shot(), c.box, kWhite, kBlue).foreign, 0) << "not all back to blue";
  }
}

TEST_F(WindowTest, HeldHideButtonDrawsItsCaptionOnePixelRightAndDown) {
  const auto caption = [](const Capture& shot) {
    return InkIn(shot, kHideBox, kWhite, kLightBlue).bounds;
  };
  PointAt(251, 16);
  ASSERT_TRUE(PixelBecomes(233, 3, kLightBlue));
  const auto resting = caption(Shot());
  ASSERT_TRUE(resting);

  XdoDone("mousedown 1");
  std::optional<Box> held;
  const Box expected{resting->left + 1, resting->top + 1, resting->right + 1, resting->bottom + 1};
  EXPECT_TRUE(WaitFor([&] {
    held = caption(Shot());
    return held == expected;
  })) << "held: "
      << (held ? Describe(*held) : "none") << ", resting: " << Describe(*resting);
  EXPECT_EQ(Shot().At(233, 3), kLightBlue);
  std::printf("saved %s\n", Shot().Save("window-held-hide").c_str());

  // Let go elsewhere, so the press is no click and the window stays.
  PointAt(150, 80);
  XdoDone("mouseup 1");
  EXPECT_TRUE(PixelBecomes(233, 3, kBlue)) << Hex(Shot().At(233, 3));
  // The close button lighting up shows that the release has been handled.
  PointAt(292, 16);
  EXPECT_TRUE(PixelBecomes(273, 3, kRed));
  EXPECT_TRUE(IsWindowVisible(window_)) << "letting go off the button clicked it";
}

// The standard tooltip shows "修改" while the pointer rests on "—".
TEST_F(WindowTest, HideButtonShowsItsTooltipWhileThePointerRests) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{program_.pid(), {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == s.pid && _wcsicmp(name, L"tooltips_class32") == 0) s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  ASSERT_EQ(search.found.size(), 1u) << "expected one tooltip control";
  HWND tooltip = search.found.front();
  EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1) << "only \"—\" has a tooltip";
  EXPECT_EQ(SendMessageW(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 400);
  EXPECT_FALSE(IsWindowVisible(tooltip));

  PointAt(251, 16);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(tooltip) != FALSE; }))
      << "no tooltip while the pointer rests on \"—\"";
  EXPECT_EQ(MessageText(tooltip), L"修改");
  const RECT tip = ScreenRect(tooltip);
  EXPECT_LE(tip.right - tip.left, 400);
  std::printf("saved %s\n",
              Capture(RECT{tip.left - 60, tip.top - 60, tip.right + 60, tip.bottom + 20})
                  .Save("window-tooltip")
                  .c_str());

  // Drawn in glyphs, not as the empty boxes of a face without Chinese.
  EXPECT_TRUE(WaitFor([&] { return DrawnInGlyphs(Capture(ScreenRect(tooltip))); }))
      << "the tooltip's text is not drawn in Chinese glyphs";
}

TEST_F(WindowTest, DraggingTheSurfaceMovesTheWindowByTheDistanceDragged) {
  struct Case {
    const char* where;
    int x, y;
  };
  const Case cases[] = {
      {"readout, left of the buttons", 100, 15},
      {"readout's left end", 2, 2},
      {"frame's white area", 150, 78},
      {"frame's outline", 3, 86},
      {"outer margin, left", 0, 45},
      {"outer margin, bottom", 200, 89},
      {"track", 100, 56},
  };
  int sign = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    const RECT before = ScreenRect(window_);
    const POINT expected{before.left + 40 * sign, before.top + 20 * sign};
    Drag(c.x, c.y, 40 * sign, 20 * sign);
    EXPECT_TRUE(WaitFor([&] { return WindowAt(expected); }))
        << "window at " << ScreenRect(window_).left << "," << ScreenRect(window_).top
        << ", expected " << expected.x << "," << expected.y;
    sign = -sign;
  }
}

// A quick drag, the pointer moving off at once: the window must still follow
// it all the way. Under Wine the move starts from where the pointer is when
// the window's posted WM_NCLBUTTONDOWN is taken in, not where it was pressed,
// so the press and the first move arriving together leave the window behind;
// sending the message while the press is being handled fixes that. Enable
// this once the toolkit does.
TEST_F(WindowTest, DISABLED_AQuickDragMovesTheWindowAllTheWay) {
  for (int run = 0; run < 4; ++run) {
    SCOPED_TRACE(run);
    const RECT before = ScreenRect(window_);
    PointAt(150, 78);
    XdoDone("mousedown 1 mousemove_relative -- 30 15 mouseup 1");
    const POINT expected{before.left + 30, before.top + 15};
    EXPECT_TRUE(WaitFor([&] { return WindowAt(expected); }))
        << "window at " << ScreenRect(window_).left << "," << ScreenRect(window_).top
        << ", expected " << expected.x << "," << expected.y;
  }
}

// After each press, a drag on the margin, which is known to move the window,
// shows by where the window ends up that the press before it moved nothing.
TEST_F(WindowTest, PressesOnButtonsAndCaptionsLeaveTheWindowWhereItIs) {
  struct Case {
    const char* where;
    int x, y, dx, dy;
  };
  const Case cases[] = {
      // Let go off the buttons: no click, so the window stays to be checked.
      {"hide button", 251, 16, 40, 20},
      {"close button", 292, 16, 40, 20},
      // Straight down: the knob follows the pointer across only.
      {"knob", 194, 56, 0, 25},
      {"captions, above the track", 60, 50, 40, 20},
      {"captions, below the track", 120, 63, 40, 20},
      {"captions, on 暗", 16, 56, 40, 20},
      {"captions, between the track and 亮", 285, 56, -40, 20},
  };
  int sign = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    const RECT before = ScreenRect(window_);
    Drag(c.x, c.y, c.dx, c.dy);
    Drag(1, 45, 10 * sign, 10 * sign);
    const POINT expected{before.left + 10 * sign, before.top + 10 * sign};
    EXPECT_TRUE(WaitFor([&] { return WindowAt(expected); }))
        << "window at " << ScreenRect(window_).left << "," << ScreenRect(window_).top
        << ", expected " << expected.x << "," << expected.y;
    EXPECT_TRUE(IsWindowVisible(window_));
    sign = -sign;
  }
}

// The file's own icon is the first icon group, DEFAULT_ICON: one 256-pixel,
// 32-bit image stored as a bitmap, not as PNG.
TEST(WindowImages, ProgramIconIsTheExecutablesFirstIconGroup) {
  ExeResources exe;
  ASSERT_TRUE(exe.get()) << "cannot open the executable";
  std::vector<std::wstring> groups;
  EnumResourceNamesW(
      exe.get(), RT_GROUP_ICON,
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
        auto& names = *reinterpret_cast<std::vector<std::wstring>*>(param);
        names.push_back(IS_INTRESOURCE(name)
                            ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name))
                            : name);
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&groups));
  ASSERT_FALSE(groups.empty()) << "the executable has no icon";
  EXPECT_EQ(groups.front(), L"DEFAULT_ICON");

  HRSRC group = FindResourceW(exe.get(), L"DEFAULT_ICON", RT_GROUP_ICON);
  ASSERT_TRUE(group);
  const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(exe.get(), group)));
  ASSERT_TRUE(dir);
  ASSERT_GE(SizeofResource(exe.get(), group), 6u + 14u);
  // GRPICONDIR: reserved, type 1, count; then 14-byte entries.
  EXPECT_EQ(dir[2] | dir[3] << 8, 1) << "not an icon group";
  ASSERT_EQ(dir[4] | dir[5] << 8, 1) << "expected one image";
  const BYTE* entry = dir + 6;
  EXPECT_EQ(entry[0], 0) << "width (0 means 256)";
  EXPECT_EQ(entry[1], 0) << "height (0 means 256)";
  EXPECT_EQ(entry[6] | entry[7] << 8, 32) << "bits per pixel";
  const int image_id = entry[12] | entry[13] << 8;
  HRSRC image = FindResourceW(exe.get(), MAKEINTRESOURCEW(image_id), RT_ICON);
  ASSERT_TRUE(image);
  EXPECT_EQ(SizeofResource(exe.get(), image), 270376u);
  const auto* bits = static_cast<const BYTE*>(LockResource(LoadResource(exe.get(), image)));
  ASSERT_TRUE(bits);
  EXPECT_EQ(bits[0] | bits[1] << 8 | bits[2] << 16 | bits[3] << 24, 40)
      << "the image is not a BITMAPINFOHEADER bitmap";
}

}  // namespace
}  // namespace e2e
