// The brightness engine: the captured ramp, the conversions between stored
// entries and levels, and the scaled writes.
#include "engine/engine.h"

#include <algorithm>
#include <cmath>

std::unique_ptr<Ramp> SavedRamp;
ScreenHandle ScreenDC = nullptr;

namespace {

const std::uint16_t* Words(const Ramp& ramp) {
  return reinterpret_cast<const std::uint16_t*>(ramp.data());
}

bool IsAllZero(const Ramp& ramp) {
  return std::all_of(ramp.begin(), ramp.end(), [](const auto& row) {
    return row[0] == 0 && row[1] == 0 && row[2] == 0;
  });
}

// The level written for one captured entry. The steps are done in doubles in
// this order and truncated, so results match the integer forms
// floor(v * (100 + offset) / 100) and 65535 - ceil((65535 - v) * (100 - offset) / 100).
std::int16_t Scale(std::int16_t entry, std::int32_t offset) {
  if (offset == 0) return entry;
  const double v = EntryToLevel(entry);
  if (offset < 0) {
    const double a = 100.0 - std::abs(offset);
    const double b = v * a;
    const double q = b / 100.0;
    return LevelToEntry(static_cast<std::int32_t>(q));
  }
  const double d = 65535.0 - v;
  const double a = 100.0 - offset;
  const double b = d * a;
  const double q = b / 100.0;
  const double t = 65535.0 - q;
  return LevelToEntry(static_cast<std::int32_t>(t));
}

}  // namespace

void CreateSavedRamp() { SavedRamp = std::make_unique<Ramp>(); }

void ReleaseSavedRamp() { SavedRamp.reset(); }

std::int32_t EntryToLevel(std::int16_t entry) { return entry < 0 ? entry + 65536 : entry; }

std::int16_t LevelToEntry(std::int32_t level) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(level & 0xFFFF));
}

void CaptureRamp() {
  if (!SavedRamp) return;
  ScreenDC = OpenScreen();
  if (!ScreenDC) return;
  const bool read = ReadRamp(ScreenDC, reinterpret_cast<std::uint16_t*>(SavedRamp->data()));
  if (!read || IsAllZero(*SavedRamp)) {
    CloseScreen(ScreenDC);
    ScreenDC = nullptr;
  }
}

void ApplyBrightness(std::int32_t offset) {
  if (!ScreenDC || !SavedRamp) return;
  offset = std::clamp(offset, -100, 100);
  // On the stack: a write can never fail for want of memory.
  Ramp working;
  for (std::size_t r = 0; r < working.size(); ++r)
    for (std::size_t c = 0; c < working[r].size(); ++c) working[r][c] = Scale((*SavedRamp)[r][c], offset);
  WriteRamp(ScreenDC, Words(working));
}
