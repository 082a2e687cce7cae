// The brightness engine: keeps the ramp that the display had when the program
// started and writes scaled copies of it. Every ramp written derives from the
// captured one alone, so brightness changes never accumulate and offset 0
// gives the display back exactly what it had.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "engine/display.h"

// 256 rows of 3 entries, 768 words in memory order: the block that the
// platform's gamma calls fill and take (256 red, then 256 green, then 256
// blue; the rows do not follow that split, and nothing depends on it).
using Ramp = std::array<std::array<std::int16_t, 3>, 256>;
static_assert(sizeof(Ramp) == kRampWords * sizeof(std::uint16_t));

// The captured ramp; all zero from its creation until CaptureRamp fills it.
extern std::unique_ptr<Ramp> SavedRamp;
// The screen every ramp is read from and written to; null while none is held.
extern ScreenHandle ScreenDC;

void CreateSavedRamp();
void ReleaseSavedRamp();

std::int32_t EntryToLevel(std::int16_t entry);
std::int16_t LevelToEntry(std::int32_t level);

// Takes the screen and reads its ramp into SavedRamp. A read that fails or
// brings back an all-zero ramp gives the screen up again, so that nothing is
// ever written for the rest of the run: such a ramp would turn the screen
// black, and "restoring" it at exit would leave it black.
void CaptureRamp();
// Writes SavedRamp scaled by (100 + offset) percent for offset < 0, or moved
// offset percent toward white for offset > 0, or unchanged for 0. Offsets are
// clamped to -100..100.
void ApplyBrightness(std::int32_t offset);
