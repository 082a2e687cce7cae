// The slider: dragging the knob along its track sets the screen's brightness.
#pragma once

#include <cstdint>
#include <string_view>

// -1 while no drag is under way; otherwise the column of the knob, in its own
// client coordinates, where the left button went down on it.
extern std::int32_t DragOffset;

inline constexpr std::u16string_view kReadoutPrefix = u"        屏幕亮度：";

void OnKnobPressed(int x, int y, int modifiers);
void OnKnobMoved(int x, int y, int modifiers);
void OnKnobReleased(int x, int y, int modifiers);
void OnKnobCaptureLost();

// The readout value and the offset for a length label F pixels wide on a
// track TW pixels wide.
int ReadoutValue(int f, int tw);
std::int32_t SliderOffset(int f, int tw);
