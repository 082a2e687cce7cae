// The toolkit on Win32: process start and end, loading the window, the event
// loop, destroy requests, the integer and text properties, the cursor, the
// tray icon and its pop-up menu. The controls' classes and painting live in
// controls_win32.cpp.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "toolkit/toolkit.h"
#include "toolkit/win32/internal.h"

namespace tk::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"ScreendimWindow";
constexpr wchar_t kOwnerClass[] = L"ScreendimOwner";
constexpr UINT kTrayIconId = 1;
constexpr int kPositionLimit = 32627;

std::vector<Handler> exit_cleanups;

const wchar_t* Wide(std::u16string_view text) { return reinterpret_cast<const wchar_t*>(text.data()); }

void Raise(Handler handler) {
  if (handler) handler();
}

RECT OuterRectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (HWND parent = GetParent(window); parent && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool IsTopLevel(Id id) { return Toolkit().layout[id].kind == Kind::Window; }

// Moves or resizes a control and repaints, at once, both where it was and
// where it is now, siblings beneath included, so a knob dragged across the
// captions and the track leaves no trail and never lags the pointer.
void PlaceControl(HWND window, const RECT& to) {
  const RECT from = OuterRectInParent(window);
  SetWindowPos(window, nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  if (!IsWindowVisible(window)) return;
  RECT changed{};
  UnionRect(&changed, &from, &to);
  RedrawWindow(GetParent(window), &changed, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void PlaceWindow(HWND window, int left, int top) {
  RECT rect{};
  GetWindowRect(window, &rect);
  left = std::clamp(left, -kPositionLimit, kPositionLimit);
  top = std::clamp(top, -kPositionLimit, kPositionLimit);
  MoveWindow(window, left, top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

NOTIFYICONDATAW TrayData(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = kTrayIconId;
  return data;
}

void AddTrayIcon(HWND window) {
  State& s = Toolkit();
  NOTIFYICONDATAW data = TrayData(window);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayNotification;
  data.hIcon = s.tray_icon.get();
  const std::size_t length = std::min(s.tray_tooltip.size(), std::size(data.szTip) - 1);
  std::copy_n(s.tray_tooltip.data(), length, data.szTip);
  // No NIM_SETVERSION: with the default behaviour one right click arrives as
  // a single WM_RBUTTONUP, so the menu opens once, not also on WM_CONTEXTMENU.
  s.tray_added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void RemoveTrayIcon(HWND window) {
  State& s = Toolkit();
  if (!s.tray_icon) return;
  NOTIFYICONDATAW data = TrayData(window);
  Shell_NotifyIconW(NIM_DELETE, &data);
  s.tray_added = false;
  s.tray_icon.reset();
}

Icon IconFromFileBytes(const BYTE* bytes, DWORD size, int width, int height) {
  // An icon file is a directory followed by the images; the directory lookup
  // gives the offset of the image that fits the size asked for.
  const int offset = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(bytes), TRUE, width, height,
                                                 LR_DEFAULTCOLOR);
  if (offset <= 0 || static_cast<DWORD>(offset) >= size) return Icon{};
  return Icon{CreateIconFromResourceEx(const_cast<BYTE*>(bytes) + offset, size - offset, TRUE,
                                       0x00030000, width, height, LR_DEFAULTCOLOR)};
}

Live& Main() { return Object(0); }

// Carries out a destroy request: the destroying event while the window and
// its controls still exist, then the tray icon goes, then the window.
void CarryOutDestroy(HWND window) {
  Live* live = ObjectOf(window);
  if (!live) return;
  Raise(live->row->on.destroying);
  RemoveTrayIcon(window);
  DestroyWindow(window);
}

void OnTrayNotification(LPARAM notification) {
  const TrayHandler handler = Main().row->on.tray;
  if (!handler) return;
  switch (LOWORD(notification)) {
    case WM_LBUTTONUP: handler(kTrayLeftClick); break;
    case WM_LBUTTONDBLCLK: handler(kTrayDoubleClick); break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: handler(kTrayContextMenu); break;
    default: break;
  }
}

void OnMenuCommand(WPARAM command) {
  const Id id = static_cast<Id>(LOWORD(command));
  if (id <= 0 || id >= static_cast<Id>(Toolkit().objects.size())) return;
  const auto& row = *Toolkit().objects[id].row;
  if (row.kind == Kind::MenuItem) Raise(row.on.selected);
}

// The handler puts the icon back through SetTrayIcon; a window that never
// had one gets no event.
void OnTaskbarCreated() {
  if (Toolkit().tray_icon) Raise(Main().row->on.tray_area_reset);
}

void OnWindowGone() {
  State& s = Toolkit();
  s.objects[0].window = nullptr;
  if (--s.windows_alive > 0) return;
  DestroyWindow(s.owner);
  s.owner = nullptr;
  PostQuitMessage(0);
}

LRESULT OnEraseBackground(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  Brush back{CreateSolidBrush(Main().row->back)};
  FillRect(dc, &client, back.get());
  return 1;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: return OnEraseBackground(window, reinterpret_cast<HDC>(wparam));
    case WM_CLOSE: CarryOutDestroy(window); return 0;
    case kDestroyRequest: CarryOutDestroy(window); return 0;
    case kTrayNotification: OnTrayNotification(lparam); return 0;
    case WM_COMMAND: OnMenuCommand(wparam); return 0;
    case WM_ENDSESSION: if (wparam) Raise(Main().row->on.session_ending); return 0;
    case WM_DESTROY: OnWindowGone(); return 0;
    default: break;
  }
  if (message == Toolkit().taskbar_created && message != 0) {
    OnTaskbarCreated();
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSEXW owner{};
  owner.cbSize = sizeof(owner);
  owner.lpfnWndProc = DefWindowProcW;
  owner.hInstance = instance;
  owner.lpszClassName = kOwnerClass;
  RegisterClassExW(&owner);

  WNDCLASSEXW main{};
  main.cbSize = sizeof(main);
  main.lpfnWndProc = WindowProc;
  main.hInstance = instance;
  main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  main.lpszClassName = kWindowClass;
  // The window defines no icon of its own: both come from the program icon.
  main.hIcon = static_cast<HICON>(LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON),
                                             GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  main.hIconSm = static_cast<HICON>(LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  RegisterClassExW(&main);
}

HWND CreateMainWindow(const tk::Object& row) {
  State& s = Toolkit();
  // Owned by an invisible tool window, so the window has no taskbar button.
  s.owner = CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, s.instance, nullptr);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - row.width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - row.height) / 2;
  HWND window = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, L"", WS_POPUP | WS_CLIPCHILDREN, left,
                                top, row.width, row.height, s.owner, nullptr, s.instance, nullptr);
  if (window) ++s.windows_alive;
  return window;
}

// Stacks the children of each parent as the layout lists them, topmost
// first: every row in turn goes to the bottom of its siblings.
void StackControls() {
  for (const Live& live : Toolkit().objects)
    if (live.window && live.row->kind != Kind::Window)
      SetWindowPos(live.window, HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

// A press on the window's surface moves it, as a title bar would; the choice
// is made before the press is dispatched, so a label or the track never sees
// a press that moves the window.
bool SwallowPress(const MSG& message) {
  const Live* live = ObjectOf(message.hwnd);
  if (!live) return false;
  const PressRoute route = RouteOfPress(*live);
  if (route == PressRoute::Dispatch) return false;
  PostMessageW(Main().window, WM_NCLBUTTONDOWN, HTCAPTION,
               MAKELPARAM(static_cast<short>(message.pt.x), static_cast<short>(message.pt.y)));
  return route == PressRoute::MoveOnly;
}

}  // namespace

State& Toolkit() {
  static State state;
  return state;
}

Live& Object(Id id) { return Toolkit().objects[id]; }

Live* ObjectOf(HWND window) {
  for (Live& live : Toolkit().objects)
    if (live.window == window) return &live;
  return nullptr;
}

HWND WindowOf(Id id) { return Toolkit().objects[id].window; }

}  // namespace tk::win32

namespace tk {

using namespace tk::win32;

void Initialise() {
  State& s = Toolkit();
  s.instance = GetModuleHandleW(nullptr);
  // WIC, which decodes the track image, is a COM library.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterWindowClasses(s.instance);
  RegisterControlClasses(s.instance);
}

void RegisterExitCleanup(Handler routine) {
  if (std::find(exit_cleanups.begin(), exit_cleanups.end(), routine) == exit_cleanups.end())
    exit_cleanups.push_back(routine);
}

void LoadStartWindow(std::span<const tk::Object> layout) {
  State& s = Toolkit();
  s.layout = layout;
  s.objects = std::vector<Live>(layout.size());
  for (std::size_t i = 0; i < layout.size(); ++i) s.objects[i].row = &layout[i];

  HWND window = CreateMainWindow(layout[0]);
  if (!window) return;
  s.objects[0].window = window;
  for (std::size_t i = 1; i < layout.size(); ++i) {
    Live& live = s.objects[i];
    if (live.row->kind == Kind::Menu || live.row->kind == Kind::MenuItem) continue;
    CreateControl(live, WindowOf(live.row->parent));
  }
  StackControls();
  AddTooltips(window);

  // Explorer broadcasts this when it restarts, and a restarted Explorer has
  // lost every tray icon. An elevated copy must let it through the filter.
  s.taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
  ChangeWindowMessageFilterEx(window, s.taskbar_created, MSGFLT_ALLOW, nullptr);

  Raise(layout[0].on.created);
  // A destroy request made by the handler is only queued: the window still
  // exists and is shown until the loop's first turn carries it out.
  if (IsWindow(window) && layout[0].visible) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
  }
}

void RunEventLoop() {
  if (Toolkit().windows_alive == 0) return;
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_LBUTTONDOWN && SwallowPress(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void RequestDestroy(Id window) {
  if (HWND hwnd = WindowOf(window)) PostMessageW(hwnd, kDestroyRequest, 0, 0);
}

int GetLeft(Id id) { return OuterRectInParent(WindowOf(id)).left; }
int GetTop(Id id) { return OuterRectInParent(WindowOf(id)).top; }

int GetWidth(Id id) {
  const RECT rect = OuterRectInParent(WindowOf(id));
  return rect.right - rect.left;
}

int GetHeight(Id id) {
  const RECT rect = OuterRectInParent(WindowOf(id));
  return rect.bottom - rect.top;
}

void SetLeft(Id id, int value) {
  HWND window = WindowOf(id);
  if (IsTopLevel(id)) return PlaceWindow(window, value, GetTop(id));
  RECT rect = OuterRectInParent(window);
  OffsetRect(&rect, value - rect.left, 0);
  PlaceControl(window, rect);
}

void SetTop(Id id, int value) {
  HWND window = WindowOf(id);
  if (IsTopLevel(id)) return PlaceWindow(window, GetLeft(id), value);
  RECT rect = OuterRectInParent(window);
  OffsetRect(&rect, 0, value - rect.top);
  PlaceControl(window, rect);
}

void SetWidth(Id id, int value) {
  HWND window = WindowOf(id);
  RECT rect = OuterRectInParent(window);
  rect.right = rect.left + std::max(value, 0);
  if (IsTopLevel(id))
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  else
    PlaceControl(window, rect);
}

void SetHeight(Id id, int value) {
  HWND window = WindowOf(id);
  RECT rect = OuterRectInParent(window);
  rect.bottom = rect.top + std::max(value, 0);
  if (IsTopLevel(id))
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  else
    PlaceControl(window, rect);
}

bool GetVisible(Id id) { return IsWindowVisible(WindowOf(id)) != FALSE; }

void SetVisible(Id id, bool visible) { ShowWindow(WindowOf(id), visible ? SW_SHOW : SW_HIDE); }

void SetText(Id id, std::u16string_view text) {
  HWND window = WindowOf(id);
  const std::u16string terminated(text);
  SetWindowTextW(window, Wide(terminated));
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

int GetCursorX() {
  POINT point{};
  GetCursorPos(&point);
  return point.x;
}

int GetCursorY() {
  POINT point{};
  GetCursorPos(&point);
  return point.y;
}

void SetTrayIcon(Id window, const char* image, std::u16string_view tooltip) {
  State& s = Toolkit();
  HWND hwnd = WindowOf(window);
  if (!s.tray_icon) {
    HRSRC found = FindResourceA(s.instance, image, MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(s.instance, found) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes) return;
    // Made at the image's own size; the notification area scales it.
    s.tray_icon = IconFromFileBytes(bytes, SizeofResource(s.instance, found), 128, 128);
    if (!s.tray_icon) return;
  }
  s.tray_tooltip = tooltip;
  if (s.tray_added) {
    NOTIFYICONDATAW data = TrayData(hwnd);
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
  AddTrayIcon(hwnd);
}

void PopUpTrayMenu(Id window, Id menu) {
  State& s = Toolkit();
  HWND owner = WindowOf(window);
  Menu popup{CreatePopupMenu()};
  if (!popup) return;
  for (const Live& live : s.objects)
    if (live.row->kind == Kind::MenuItem && live.row->parent == menu)
      AppendMenuW(popup.get(), MF_STRING, static_cast<UINT_PTR>(live.row->id),
                  Wide(std::u16string(live.row->text).c_str()));
  POINT cursor{};
  GetCursorPos(&cursor);
  // The menu only closes on a click elsewhere when its owner is the
  // foreground window; the WM_NULL afterwards makes the next click on the
  // tray icon work the first time (the shell's notification-icon rule).
  SetForegroundWindow(owner);
  TrackPopupMenu(popup.get(), TPM_RIGHTALIGN, cursor.x - 5, cursor.y - 5, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace tk

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const int result = tk::ProgramMain();
  for (tk::Handler routine : tk::win32::exit_cleanups) routine();
  CoUninitialize();
  return result;
}
