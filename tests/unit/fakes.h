// The fakes behind the link seams of the native build: the display's gamma
// ramp (engine/display.h), the single-instance marker (app/instance_marker.h)
// and the window toolkit (toolkit/toolkit.h). They keep just enough state to
// behave as the real ones do, and write every call into one ordered log, so a
// test can check the order of things across seams: the capture before the
// first write, the restore before the tray icon goes.
//
// A test starts a fresh "process" with StartProcess(), sets the fakes up
// (the ramp the screen holds, the marker's outcome, a script of user actions
// for the event loop), runs tk::ProgramMain() or the pieces it needs, and
// reads the log and the fakes' state afterwards.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/instance_marker.h"
#include "engine/display.h"
#include "toolkit/toolkit.h"

namespace fake {

// One line per call into a seam ("WriteRamp", "SetLeft MainWindow -57") and
// per event the fake toolkit raises or carries out ("raise destroying",
// "window destroyed", "loop ended"). Texts are logged in UTF-8.
struct Log {
  std::vector<std::string> lines;
  // Sees each line as it is added: lets a test look at the program's state
  // at the moment of a call, e.g. DragOffset when the window is shown.
  std::function<void(const std::string&)> spy;

  void Add(std::string line);
  bool Has(std::string_view line) const;
  std::size_t Count(std::string_view line) const;
  // The lines that start with one of the prefixes, in order.
  std::vector<std::string> Only(std::initializer_list<std::string_view> prefixes) const;
  // The lines from the first one equal to `line` to the end; empty if none.
  std::vector<std::string> From(std::string_view line) const;
  // The lines before the first one equal to `line`, and that line.
  std::vector<std::string> UpTo(std::string_view line) const;
};
extern Log events;

using Words = std::array<std::uint16_t, kRampWords>;

struct Display {
  bool has_screen = true;     // OpenScreen gives a handle
  bool read_succeeds = true;  // otherwise ReadRamp fails and leaves the buffer alone
  Words screen_ramp{};        // what a successful read delivers
  std::vector<Words> writes;  // every ramp written, in order
};
extern Display display;

struct Marker {
  MarkerOutcome outcome = MarkerOutcome::Created;
};
extern Marker marker;

// The properties the toolkit keeps for each row of the layout.
struct Properties {
  int left = 0, top = 0, width = 0, height = 0;
  bool visible = false;
  std::u16string text;
};

struct Toolkit {
  // Set up by the test.
  int screen_width = 1920, screen_height = 1080;
  int cursor_x = 0, cursor_y = 0;
  // The user's actions, one per turn of the event loop.
  std::vector<std::function<void()>> script;
  // The item PopUpTrayMenu "chooses"; kNone closes the menu without a choice.
  tk::Id menu_choice = tk::kNone;

  // Kept by the fake. The layout's first row is the one window.
  std::span<const tk::Object> layout;
  std::vector<Properties> props;
  bool window_exists = false;
  // Messages posted to the window and not yet taken by the loop, in order:
  // destroy requests, and the command of an item chosen from the tray menu.
  struct Posted {
    enum { Destroy, Command } what;
    tk::Id item;
  };
  std::vector<Posted> posted;
  bool tray_icon = false;
  std::string tray_image;
  std::u16string tray_tooltip;
  tk::Id capture = tk::kNone;  // the button holding the mouse capture
  std::vector<tk::Handler> cleanups;
};
extern Toolkit toolkit;

// A new process: every fake as at process start and the logic's globals at
// their start values.
void StartProcess();
// What the toolkit does after ProgramMain has returned: runs the exit
// clean-ups in the order of registration.
void EndProcess();

// The screen x and y of an object's outer top left corner.
int ScreenLeft(tk::Id object);
int ScreenTop(tk::Id object);

// Takes the posted messages as the loop does at the start of each turn:
// carries out destroy requests and raises the chosen items' selected events.
void DeliverPosted();

// User and system actions, to call directly or to put in the script. Mouse
// events reach buttons with x and y in the button's client coordinates.
//
// The left button goes down on `button` at `column` (the cursor moves there):
// left_pressed, and the button takes the capture.
void PressButton(tk::Id button, int column);
// The cursor moves to the screen point: mouse_moved to the button holding the
// capture, else to a button under the cursor, if any.
void MoveCursor(int screen_x, int screen_y);
// The left button goes up: left_released to the capture holder (or a button
// under the cursor); releasing the capture then raises its capture_lost, as
// the platform's ReleaseCapture does.
void ReleaseButton();
// Another window takes the capture: capture_lost, no release.
void LoseCapture();
void Click(tk::Id button);
void TrayEvent(int type);
// WM_ENDSESSION for an ending session.
void EndSession();
// The notification area was re-created (TaskbarCreated).
void TaskbarCreated();
// WM_CLOSE: the window is destroyed at once, by the same sequence as a
// carried-out destroy request.
void SystemClose();
// A line of the test's own in the log, to show whether an action ran.
void Mark(std::string note);

std::string Utf8(std::u16string_view text);

}  // namespace fake
