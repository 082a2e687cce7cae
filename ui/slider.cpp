// The slider's three handlers. Each reads the geometry it needs from the
// controls when it needs it and keeps no copy: the window moves under the
// slider (the tray shows it at the cursor, the user drags it), and the
// controls are the only record of where the knob stands.
#include "ui/slider.h"

#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "toolkit/toolkit.h"
#include "ui/layout.h"

std::int32_t DragOffset = 0;

namespace {

std::u16string ReadoutText(int value) {
  std::u16string text(kReadoutPrefix);
  for (const char digit : std::to_string(value)) text += static_cast<char16_t>(digit);
  return text;
}

void WriteLengthFromKnob() {
  tk::SetWidth(标签_滑动块长度, tk::GetLeft(图形按钮_滑动按钮) - tk::GetLeft(图片框_滑动块底图));
}

}  // namespace

int ReadoutValue(int f, int tw) {
  const double q = static_cast<double>(f) / tw;
  const double scaled = q * 40;
  return static_cast<int>(std::floor(scaled / 0.38));
}

std::int32_t SliderOffset(int f, int tw) {
  const double q = static_cast<double>(f) / tw;
  return static_cast<std::int32_t>(std::floor(q * 40)) - 50;
}

void OnKnobPressed(int x, int, int) {
  WriteLengthFromKnob();
  DragOffset = x;
}

// The knob keeps the press column under the cursor and stays inside its
// track: its left in the frame box is the cursor's x in the window, less the
// frame box's own left, less the press column, held between the track's ends.
void OnKnobMoved(int, int, int) {
  if (DragOffset == -1) return;
  const int track_left = tk::GetLeft(图片框_滑动块底图);
  const int highest = track_left + tk::GetWidth(图片框_滑动块底图) - tk::GetWidth(图形按钮_滑动按钮);
  const int wanted = tk::GetCursorX() - tk::GetLeft(MainWindow) - tk::GetLeft(外形框1) - DragOffset;
  tk::SetLeft(图形按钮_滑动按钮, std::clamp(wanted, track_left, highest));
  WriteLengthFromKnob();

  const int f = tk::GetWidth(标签_滑动块长度);
  const int tw = tk::GetWidth(图片框_滑动块底图);
  tk::SetText(标签1, ReadoutText(ReadoutValue(f, tw)));
  ApplyBrightness(SliderOffset(f, tw));
}

void OnKnobReleased(int, int, int) { DragOffset = -1; }

// A drag whose release never reaches the knob (Alt+Tab, a window popping up)
// must end all the same, or merely passing the pointer over the knob would
// go on moving it and changing the brightness with no button held.
void OnKnobCaptureLost() { DragOffset = -1; }
