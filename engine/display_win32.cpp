// The display's gamma ramp through GDI: the desktop window's device context,
// read and written with GetDeviceGammaRamp and SetDeviceGammaRamp.
#include <windows.h>

#include "engine/display.h"

ScreenHandle OpenScreen() { return GetDC(GetDesktopWindow()); }

void CloseScreen(ScreenHandle screen) { ReleaseDC(GetDesktopWindow(), static_cast<HDC>(screen)); }

bool ReadRamp(ScreenHandle screen, std::uint16_t* words) {
  return GetDeviceGammaRamp(static_cast<HDC>(screen), words) != FALSE;
}

void WriteRamp(ScreenHandle screen, const std::uint16_t* words) {
  // The platform keeps its ramp when it refuses one; there is nothing to undo.
  SetDeviceGammaRamp(static_cast<HDC>(screen), const_cast<std::uint16_t*>(words));
}
