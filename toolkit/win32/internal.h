// What the Win32 toolkit's parts share: the live objects of the loaded
// layout, and the control classes that controls_win32.cpp provides to
// toolkit_win32.cpp.
#pragma once

#include <windows.h>

#include <array>
#include <span>
#include <vector>

#include "toolkit/toolkit.h"
#include "toolkit/win32/handles.h"

namespace tk::win32 {

// Private messages of the main window.
inline constexpr UINT kDestroyRequest = WM_APP + 0;
inline constexpr UINT kTrayNotification = WM_APP + 1;

// One object of the layout as it lives on the screen.
struct Live {
  const Object* row = nullptr;
  HWND window = nullptr;   // null for menus and items
  Font font;               // null where the control uses the default GUI font
  Bitmap image;            // a picture box's decoded image
  int image_width = 0, image_height = 0;
  bool hover = false;      // a button with the pointer over it
};

struct State {
  HINSTANCE instance = nullptr;
  std::span<const Object> layout;
  std::vector<Live> objects;  // indexed by Id
  HWND owner = nullptr;       // the invisible tool window that hides the taskbar button
  HWND tooltip = nullptr;
  UINT taskbar_created = 0;
  Icon tray_icon;
  std::u16string_view tray_tooltip;
  bool tray_added = false;
  int windows_alive = 0;
};

State& Toolkit();
Live& Object(Id id);
Live* ObjectOf(HWND window);
HWND WindowOf(Id id);

// Control classes and their creation (controls_win32.cpp).
void RegisterControlClasses(HINSTANCE instance);
void CreateControl(Live& live, HWND parent);
void AddTooltips(HWND owner);
// Whether a press on this control moves the window, and whether the press
// then still reaches the control.
enum class PressRoute { Dispatch, MoveAndDispatch, MoveOnly };
PressRoute RouteOfPress(const Live& live);

}  // namespace tk::win32
