// The display's gamma ramp, as the brightness engine reaches it. The
// executable links display_win32.cpp; the unit tests link a fake that records
// every call and every word written.
#pragma once

#include <cstdint>

// A handle for the whole screen; null when none could be had.
using ScreenHandle = void*;

inline constexpr int kRampWords = 768;  // 256 levels each for red, green, blue

ScreenHandle OpenScreen();
void CloseScreen(ScreenHandle screen);
// Reads the screen's ramp as 768 raw 16-bit words into words; false when the
// platform refused.
bool ReadRamp(ScreenHandle screen, std::uint16_t* words);
void WriteRamp(ScreenHandle screen, const std::uint16_t* words);
