// What the end-to-end tests share: starting and closing the real
// screendim.exe, finding its window and controls, the display's gamma ramp,
// real X input through xdotool, screen captures, and waiting for a state
// with a deadline instead of sleeping.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace e2e {

using namespace std::chrono_literals;

// Control ids of the window, as the layout numbers its rows.
enum ControlId : int {
  kFrame = 1,
  kReadout = 2,
  kHideButton = 3,
  kCloseButton = 4,
  kKnob = 5,
  kTrack = 6,
  kLengthLabel = 7,
  kCaptions = 8,
};

// Polls until the condition holds or the deadline passes; true if it held.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds deadline = 5000ms) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(10ms);
  }
}

using Ramp = std::array<WORD, 768>;
Ramp ReadScreenRamp();
bool WriteScreenRamp(const Ramp& ramp);
Ramp IdentityRamp();
// A ramp that is not the identity: a gamma curve of 0.8, for restore checks.
Ramp CurvedRamp();
// What the program writes for an offset, from a captured ramp.
Ramp Scaled(const Ramp& captured, int offset);
// The largest difference between two ramps, word by word.
int RampDistance(const Ramp& a, const Ramp& b);
// The display quantises what it is given to multiples of 257.
inline constexpr int kRampTolerance = 257;

// A running copy of screendim.exe.
class Program {
 public:
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();

  bool Start();
  // The program's visible main window, waited for.
  HWND Window(std::chrono::milliseconds deadline = 10000ms);
  // The main window if it exists now, shown or not.
  HWND FindWindowNow() const;
  HWND Control(int id);
  // Waits for the process to end; its exit code, or nothing on time-out.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds deadline = 10000ms);
  bool Running() const;
  // Closes through WM_CLOSE and waits; the exit code, or nothing.
  std::optional<DWORD> Close();
  DWORD pid() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// Every visible main window of screendim, of any process.
std::vector<HWND> AllMainWindows();

std::wstring TextOf(HWND window);
RECT ScreenRect(HWND window);

// Runs xdotool on the X server that Wine draws on, and waits for it.
void Xdo(const std::string& arguments);
// Moves the real pointer and waits until Windows sees it there.
void MovePointer(int x, int y);

// A capture of a screen area, 0x00RRGGBB per pixel.
class Capture {
 public:
  explicit Capture(const RECT& area);
  std::uint32_t At(int x, int y) const;  // in the area's coordinates
  int width() const { return width_; }
  int height() const { return height_; }
  // Saves it as a BMP under the artifacts folder; the path written.
  std::string Save(const std::string& name) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

constexpr std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b);
}
std::string Hex(std::uint32_t rgb);

// Each test starts from the identity ramp with no copy running, and ends
// with every copy it started closed.
class ScreendimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace e2e
