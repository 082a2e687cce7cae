// The entry routine and MainWindow's lifecycle handlers. The order here is the
// point: nothing touches the display before the ramp is captured, the screen
// is dimmed and the tray icon exists before the window is first shown, and
// every way of closing ends in the one destroy path that writes the captured
// ramp back.
#include "app/app.h"

#include "app/instance_marker.h"
#include "engine/engine.h"
#include "toolkit/toolkit.h"
#include "ui/layout.h"
#include "ui/slider.h"
#include "ui/tray.h"

namespace {

// An event that exists but may not be opened (a copy running elevated, say)
// is a running copy all the same: running on would capture a ramp it has
// already dimmed. A name held by an object of another kind is no copy of ours.
bool AnotherCopyIsRunning() {
  switch (CreateInstanceMarker(kInstanceMarkerName)) {
    case MarkerOutcome::AlreadyExists: return true;
    case MarkerOutcome::AccessDenied: return true;
    case MarkerOutcome::Created: return false;
    case MarkerOutcome::OtherFailure: return false;
  }
  return false;
}

}  // namespace

int tk::ProgramMain() {
  tk::Initialise();
  CreateSavedRamp();
  tk::RegisterExitCleanup(ReleaseSavedRamp);
  tk::LoadStartWindow(MainWindowLayout());
  tk::RunEventLoop();
  return 0;
}

void OnMainWindowCreated() {
  if (AnotherCopyIsRunning()) {
    tk::RequestDestroy(MainWindow);
    return;
  }
  CaptureRamp();
  ApplyBrightness(kStartOffset);
  DragOffset = -1;
  tk::SetHeight(MainWindow, 90);
  InstallTrayIcon();
}

void OnMainWindowDestroying() { ApplyBrightness(0); }

// At logoff or shut-down the system ends the process without destroying its
// window, so the destroy path would never restore the screen.
void OnSessionEnding() { ApplyBrightness(0); }
