// Just enough of the platform for the benchmarks to run the logic natively:
// a display that counts the ramps it is given, and a toolkit that keeps the
// integer properties of every row in memory. Kept here, apart from the unit
// tests' fakes, so that the figures never depend on what those record.
#include "bench/fakes.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "app/instance_marker.h"
#include "engine/display.h"
#include "toolkit/toolkit.h"

namespace bench {

long ramps_written = 0;
std::uint16_t last_word = 0;
int cursor_x = 0;
std::array<Geometry, 16> geometry{};

}  // namespace bench

namespace {
int screen_token = 0;
}

ScreenHandle OpenScreen() {
  return &screen_token;
}
void CloseScreen(ScreenHandle) {}
bool ReadRamp(ScreenHandle, std::uint16_t* words) {
  for (int i = 0; i < kRampWords; ++i) words[i] = static_cast<std::uint16_t>((i % 256) * 257);
  return true;
}
// Keeps one word so that the compiler cannot drop the ramp being built.
void WriteRamp(ScreenHandle, const std::uint16_t* words) {
  ++bench::ramps_written;
  bench::last_word ^= words[kRampWords - 1];
}

MarkerOutcome CreateInstanceMarker(const char*) {
  return MarkerOutcome::Created;
}

namespace tk {

void Initialise() {}
void RegisterExitCleanup(Handler) {}
void LoadStartWindow(std::span<const Object> layout) {
  for (const Object& row : layout)
    if (row.id >= 0 && static_cast<std::size_t>(row.id) < bench::geometry.size())
      bench::geometry[row.id] = {row.left, row.top, row.width, row.height, row.visible};
}
void RunEventLoop() {}
void RequestDestroy(Id) {}
int GetLeft(Id id) {
  return bench::geometry[id].left;
}
int GetTop(Id id) {
  return bench::geometry[id].top;
}
int GetWidth(Id id) {
  return bench::geometry[id].width;
}
int GetHeight(Id id) {
  return bench::geometry[id].height;
}
void SetLeft(Id id, int value) {
  bench::geometry[id].left = value;
}
void SetTop(Id id, int value) {
  bench::geometry[id].top = value;
}
void SetWidth(Id id, int value) {
  bench::geometry[id].width = value < 0 ? 0 : value;
}
void SetHeight(Id id, int value) {
  bench::geometry[id].height = value < 0 ? 0 : value;
}
bool GetVisible(Id id) {
  return bench::geometry[id].visible;
}
void SetVisible(Id id, bool visible) {
  bench::geometry[id].visible = visible;
}
void SetText(Id, std::u16string_view) {}
int GetCursorX() {
  return bench::cursor_x;
}
int GetCursorY() {
  return 0;
}
void SetTrayIcon(Id, const char*, std::u16string_view) {}
void PopUpTrayMenu(Id, Id) {}

}  // namespace tk
