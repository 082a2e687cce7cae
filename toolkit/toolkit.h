// The window toolkit as the program's logic sees it: a retained-mode layer
// that builds a window and its controls from a layout table, exposes a few
// integer and text properties of each, raises the events that the layout
// binds to handlers, and owns the event loop, the exit clean-ups, the tray
// icon and its pop-up menu.
//
// This header is the seam between the logic and the platform. The executable
// links toolkit/win32; the native unit tests link a fake that records every
// call. Nothing here may pull in <windows.h>.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tk {

// An object of the layout: its index in the layout table.
using Id = int;
inline constexpr Id kNone = -1;

enum class Kind : std::uint8_t {
  Window,            // the top-level window; always the first row
  FrameBox,          // draws a framed rectangle and holds other controls
  Label,             // a background colour and one line of text
  TransparentLabel,  // one line of text over whatever lies beneath
  PictureBox,        // an image stretched over its area
  Button,            // a flat owner-drawn push button
  Menu,              // a top-level menu of the window, hidden
  MenuItem,          // an item of a menu
};

// A colour as 0x00BBGGRR, or the system's colour for button faces.
using Colour = std::uint32_t;
constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return Colour{r} | Colour{g} << 8 | Colour{b} << 16;
}
inline constexpr Colour kButtonFace = 0x80000000u;

// The colours of a flat button in its three states.
struct ButtonLook {
  Colour normal_back = 0, normal_text = 0;
  Colour hover_back = 0, hover_text = 0;  // also while pressed
  Colour focus_back = 0, focus_text = 0;
};

// Handlers a row can bind; a null pointer means the event has no handler.
// Mouse handlers take x and y in the control's client coordinates and the
// modifier keys (1 Ctrl, 2 Shift, 4 Alt) and return nothing, so the control's
// own processing always follows them.
using Handler = void (*)();
using MouseHandler = void (*)(int x, int y, int modifiers);
using TrayHandler = void (*)(int type);

struct Events {
  Handler created = nullptr;      // window: loaded, not yet shown
  Handler destroying = nullptr;   // window: about to go, still whole
  TrayHandler tray = nullptr;     // window: its tray icon was clicked
  Handler session_ending = nullptr;  // window: the user's session ends now
  Handler tray_area_reset = nullptr;  // window with a tray icon: the notification area came back
  Handler clicked = nullptr;      // button
  Handler selected = nullptr;     // menu item
  MouseHandler left_pressed = nullptr;
  MouseHandler mouse_moved = nullptr;
  MouseHandler left_released = nullptr;
  Handler capture_lost = nullptr;  // button: the mouse capture went elsewhere
};

// One row of a layout. Geometry is the outer rectangle in the parent's client
// coordinates (the screen for the window, where left and top are ignored and
// the window is centred). Texts are UTF-16 so they read the same on every
// system locale.
struct Object {
  Id id = kNone;
  Kind kind = Kind::Window;
  Id parent = kNone;
  const char* name = "";  // for diagnostics only
  int left = 0, top = 0, width = 0, height = 0;
  bool visible = true;
  std::u16string_view text;
  std::u16string_view tooltip;
  Colour back = 0;  // background
  Colour fore = 0;  // text, or a frame box's outline
  Colour fill = 0;  // a frame box's inside
  int font_height = 0;   // character height in pixels; 0: the default GUI font
  ButtonLook button;
  const char* image = nullptr;  // resource name of an image or icon
  Events on;
};

// Resource names of the images that the executable carries.
inline constexpr const char* kTrackImage = "TRACK_IMAGE";
inline constexpr const char* kTrayIconImage = "TRAY_ICON_IMAGE";
inline constexpr const char* kProgramIcon = "DEFAULT_ICON";

// Tray event types passed to Events::tray.
inline constexpr int kTrayLeftClick = 1;
inline constexpr int kTrayDoubleClick = 2;
inline constexpr int kTrayContextMenu = 3;

// The program's entry routine, which the toolkit's process start calls. When
// it returns, the toolkit runs the exit clean-ups and ends the process with
// its result as the exit code.
int ProgramMain();

void Initialise();
// Adds a routine to the exit clean-ups; one already there is not added twice.
// They run in the order of registration.
void RegisterExitCleanup(Handler routine);

// Creates the window and every control of the layout (row ids equal their
// indices, the window first), raises the window's created event while it is
// still hidden, and shows and activates it if it still exists afterwards.
void LoadStartWindow(std::span<const Object> layout);
// Dispatches events until no window is left; returns at once if none exists.
void RunEventLoop();
// Queues the window's destruction for the loop's next turn. Carrying it out
// raises the destroying event, removes the tray icon and destroys the window.
void RequestDestroy(Id window);

int GetLeft(Id object);
int GetTop(Id object);
int GetWidth(Id object);
int GetHeight(Id object);
// Geometry writes move or resize at once and repaint what changed; a width or
// height below 0 is stored as 0. The window's left and top are clamped to
// -32627..32627 and keep its size; its height changes without activating it.
void SetLeft(Id object, int value);
void SetTop(Id object, int value);
void SetWidth(Id object, int value);
void SetHeight(Id object, int value);
bool GetVisible(Id object);
// The window: false hides it, true shows and activates it where it stands.
void SetVisible(Id object, bool visible);
void SetText(Id object, std::u16string_view text);

int GetCursorX();
int GetCursorY();

// Makes an icon from the bytes of an icon file carried as a resource and puts
// it in the notification area for the window, with a tooltip. Called again,
// it adds the same icon afresh (the notification area may have lost it).
void SetTrayIcon(Id window, const char* image, std::u16string_view tooltip);
// Pops up the items of a menu at the cursor for the tray; the chosen item
// raises its selected event.
void PopUpTrayMenu(Id window, Id menu);

}  // namespace tk
