// The display's gamma ramp for the native tests: a screen whose handle and
// read result the test chooses, and a record of every ramp written to it.
#include <algorithm>

#include "engine/display.h"
#include "tests/unit/fakes.h"

namespace fake {

Display display;

}  // namespace fake

namespace {

// The one screen there is; its address is the handle.
int the_screen = 0;

bool IsTheScreen(ScreenHandle screen) {
  return screen == &the_screen;
}

}  // namespace

ScreenHandle OpenScreen() {
  fake::events.Add("OpenScreen");
  return fake::display.has_screen ? &the_screen : nullptr;
}

void CloseScreen(ScreenHandle screen) {
  fake::events.Add(IsTheScreen(screen) ? "CloseScreen" : "CloseScreen on a stranger handle");
}

bool ReadRamp(ScreenHandle screen, std::uint16_t* words) {
  fake::events.Add(IsTheScreen(screen) ? "ReadRamp" : "ReadRamp on a stranger handle");
  if (!IsTheScreen(screen) || !fake::display.read_succeeds) return false;
  std::copy(fake::display.screen_ramp.begin(), fake::display.screen_ramp.end(), words);
  return true;
}

void WriteRamp(ScreenHandle screen, const std::uint16_t* words) {
  fake::events.Add(IsTheScreen(screen) ? "WriteRamp" : "WriteRamp on a stranger handle");
  fake::Words written;
  std::copy(words, words + kRampWords, written.begin());
  fake::display.writes.push_back(written);
}
