// The window toolkit for the native tests: a property table built from the
// layout, the events raised through the handlers the layout binds, the exit
// clean-ups, queued destroy requests, the tray icon and its menu, and an
// event loop that plays a test's script of user actions, one per turn.
//
// It follows the real toolkit where the order of things is the point: the
// created event runs while the window is hidden and the window is shown
// afterwards if it still exists, which it always does, because a destroy
// request is only posted (a second copy's window does flash up); it is
// carried out at the start of the loop's next turn, raising destroying while
// the window is whole, then removing the tray icon, then the window. An item
// chosen from the tray menu also comes back as a posted command, so its
// selected event runs after the tray handler has returned.
#include <algorithm>
#include <string>

#include "engine/engine.h"
#include "tests/unit/fakes.h"
#include "toolkit/toolkit.h"
#include "ui/slider.h"

namespace fake {

Log events;
Toolkit toolkit;

void Log::Add(std::string line) {
  lines.push_back(std::move(line));
  if (spy) spy(lines.back());
}

bool Log::Has(std::string_view line) const {
  return Count(line) > 0;
}

std::size_t Log::Count(std::string_view line) const {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

std::vector<std::string> Log::Only(std::initializer_list<std::string_view> prefixes) const {
  std::vector<std::string> kept;
  for (const std::string& line : lines)
    for (std::string_view prefix : prefixes)
      if (line.starts_with(prefix)) {
        kept.push_back(line);
        break;
      }
  return kept;
}

std::vector<std::string> Log::From(std::string_view line) const {
  const auto first = std::find(lines.begin(), lines.end(), line);
  return {first, lines.end()};
}

std::vector<std::string> Log::UpTo(std::string_view line) const {
  auto last = std::find(lines.begin(), lines.end(), line);
  if (last != lines.end()) ++last;
  return {lines.begin(), last};
}

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

constexpr tk::Id kWindow = 0;
constexpr int kWindowLimit = 32627;

const tk::Object& Row(tk::Id id) {
  return toolkit.layout[static_cast<std::size_t>(id)];
}
Properties& Props(tk::Id id) {
  return toolkit.props[static_cast<std::size_t>(id)];
}
std::string Name(tk::Id id) {
  return Row(id).name;
}

void Raise(tk::Handler handler, const std::string& what) {
  events.Add("raise " + what);
  if (handler) handler();
}

void RaiseMouse(tk::MouseHandler handler, const char* what, tk::Id button) {
  events.Add(std::string("raise ") + what + " " + Name(button));
  if (handler)
    handler(toolkit.cursor_x - ScreenLeft(button), toolkit.cursor_y - ScreenTop(button), 0);
}

// The topmost button under the cursor; rows below the frame box are laid out
// topmost first.
tk::Id ButtonUnderCursor() {
  if (!toolkit.window_exists || !Props(kWindow).visible) return tk::kNone;
  for (std::size_t i = 0; i < toolkit.layout.size(); ++i) {
    const tk::Id id = static_cast<tk::Id>(i);
    if (Row(id).kind != tk::Kind::Button) continue;
    const int x = toolkit.cursor_x - ScreenLeft(id);
    const int y = toolkit.cursor_y - ScreenTop(id);
    if (x >= 0 && x < Props(id).width && y >= 0 && y < Props(id).height) return id;
  }
  return tk::kNone;
}

void CarryOutDestroy() {
  if (!toolkit.window_exists) return;
  Raise(Row(kWindow).on.destroying, "destroying");
  if (toolkit.tray_icon) {
    events.Add("RemoveTrayIcon");
    toolkit.tray_icon = false;
  }
  toolkit.window_exists = false;
  toolkit.capture = tk::kNone;
  events.Add("window destroyed");
}

}  // namespace

void DeliverPosted() {
  // A handler may post more; those are taken in the same turn, as the
  // platform's queue hands out posted messages before input.
  for (std::size_t i = 0; i < toolkit.posted.size() && toolkit.window_exists; ++i) {
    const Toolkit::Posted message = toolkit.posted[i];
    if (message.what == Toolkit::Posted::Destroy)
      CarryOutDestroy();
    else
      Raise(Row(message.item).on.selected, "selected " + Name(message.item));
  }
  toolkit.posted.clear();
}

void StartProcess() {
  events = Log{};
  display = Display{};
  marker = Marker{};
  toolkit = Toolkit{};
  SavedRamp.reset();
  ScreenDC = nullptr;
  DragOffset = 0;
}

void EndProcess() {
  for (const tk::Handler routine : toolkit.cleanups) {
    events.Add("ExitCleanup");
    routine();
  }
}

int ScreenLeft(tk::Id object) {
  if (object == kWindow) return Props(kWindow).left;
  return ScreenLeft(Row(object).parent) + Props(object).left;
}

int ScreenTop(tk::Id object) {
  if (object == kWindow) return Props(kWindow).top;
  return ScreenTop(Row(object).parent) + Props(object).top;
}

void PressButton(tk::Id button, int column) {
  toolkit.cursor_x = ScreenLeft(button) + column;
  toolkit.cursor_y = ScreenTop(button) + Props(button).height / 2;
  if (toolkit.capture != tk::kNone && toolkit.capture != button) LoseCapture();
  RaiseMouse(Row(button).on.left_pressed, "left_pressed", button);
  toolkit.capture = button;
}

void MoveCursor(int screen_x, int screen_y) {
  toolkit.cursor_x = screen_x;
  toolkit.cursor_y = screen_y;
  const tk::Id target = toolkit.capture != tk::kNone ? toolkit.capture : ButtonUnderCursor();
  if (target != tk::kNone) RaiseMouse(Row(target).on.mouse_moved, "mouse_moved", target);
}

void ReleaseButton() {
  const tk::Id target = toolkit.capture != tk::kNone ? toolkit.capture : ButtonUnderCursor();
  if (target == tk::kNone) return;
  RaiseMouse(Row(target).on.left_released, "left_released", target);
  if (toolkit.capture == target) LoseCapture();
}

void LoseCapture() {
  const tk::Id holder = toolkit.capture;
  if (holder == tk::kNone) return;
  toolkit.capture = tk::kNone;
  Raise(Row(holder).on.capture_lost, "capture_lost " + Name(holder));
}

void Click(tk::Id button) {
  Raise(Row(button).on.clicked, "clicked " + Name(button));
}

void TrayEvent(int type) {
  events.Add("raise tray " + std::to_string(type));
  if (Row(kWindow).on.tray) Row(kWindow).on.tray(type);
}

void EndSession() {
  Raise(Row(kWindow).on.session_ending, "session_ending");
}

// As on the platform, only a window that has a tray icon hears of it.
void TaskbarCreated() {
  if (toolkit.tray_icon) Raise(Row(kWindow).on.tray_area_reset, "tray_area_reset");
}

void SystemClose() {
  events.Add("WM_CLOSE");
  CarryOutDestroy();
}

void Mark(std::string note) {
  events.Add(std::move(note));
}

}  // namespace fake

namespace tk {

using fake::events;
using fake::toolkit;

void Initialise() {
  events.Add("Initialise");
}

void RegisterExitCleanup(Handler routine) {
  events.Add("RegisterExitCleanup");
  auto& list = toolkit.cleanups;
  if (std::find(list.begin(), list.end(), routine) == list.end()) list.push_back(routine);
}

void LoadStartWindow(std::span<const Object> layout) {
  events.Add("LoadStartWindow");
  toolkit.layout = layout;
  toolkit.props.clear();
  for (const Object& row : layout)
    toolkit.props.push_back(
        {row.left, row.top, row.width, row.height, row.visible, std::u16string(row.text)});
  fake::Properties& window = toolkit.props.front();
  window.left = (toolkit.screen_width - window.width) / 2;
  window.top = (toolkit.screen_height - window.height) / 2;
  window.visible = false;
  toolkit.window_exists = true;

  fake::events.Add("raise created");
  if (layout.front().on.created) layout.front().on.created();
  if (toolkit.window_exists) {
    window.visible = true;
    events.Add("shown");
  }
}

void RunEventLoop() {
  events.Add("RunEventLoop");
  for (std::size_t turn = 0;; ++turn) {
    fake::DeliverPosted();
    if (!toolkit.window_exists || turn == toolkit.script.size()) break;
    toolkit.script[turn]();
  }
  events.Add("loop ended");
}

void RequestDestroy(Id window) {
  events.Add("RequestDestroy " + fake::Name(window));
  if (toolkit.window_exists) toolkit.posted.push_back({fake::Toolkit::Posted::Destroy, window});
}

int GetLeft(Id object) {
  return fake::Props(object).left;
}
int GetTop(Id object) {
  return fake::Props(object).top;
}
int GetWidth(Id object) {
  return fake::Props(object).width;
}
int GetHeight(Id object) {
  return fake::Props(object).height;
}

void SetLeft(Id object, int value) {
  events.Add("SetLeft " + fake::Name(object) + " " + std::to_string(value));
  if (object == fake::kWindow) value = std::clamp(value, -fake::kWindowLimit, fake::kWindowLimit);
  fake::Props(object).left = value;
}

void SetTop(Id object, int value) {
  events.Add("SetTop " + fake::Name(object) + " " + std::to_string(value));
  if (object == fake::kWindow) value = std::clamp(value, -fake::kWindowLimit, fake::kWindowLimit);
  fake::Props(object).top = value;
}

void SetWidth(Id object, int value) {
  events.Add("SetWidth " + fake::Name(object) + " " + std::to_string(value));
  fake::Props(object).width = std::max(value, 0);
}

void SetHeight(Id object, int value) {
  events.Add("SetHeight " + fake::Name(object) + " " + std::to_string(value));
  fake::Props(object).height = std::max(value, 0);
}

bool GetVisible(Id object) {
  return fake::Props(object).visible;
}

void SetVisible(Id object, bool visible) {
  events.Add("SetVisible " + fake::Name(object) + " " + (visible ? "1" : "0"));
  fake::Props(object).visible = visible;
}

void SetText(Id object, std::u16string_view text) {
  events.Add("SetText " + fake::Name(object) + " " + fake::Utf8(text));
  fake::Props(object).text = text;
}

int GetCursorX() {
  events.Add("GetCursorX");
  return toolkit.cursor_x;
}

int GetCursorY() {
  events.Add("GetCursorY");
  return toolkit.cursor_y;
}

void SetTrayIcon(Id window, const char* image, std::u16string_view tooltip) {
  events.Add("SetTrayIcon " + fake::Name(window) + " " + image + " " + fake::Utf8(tooltip));
  toolkit.tray_icon = true;
  toolkit.tray_image = image;
  toolkit.tray_tooltip = tooltip;
}

void PopUpTrayMenu(Id window, Id menu) {
  events.Add("PopUpTrayMenu " + fake::Name(window) + " " + fake::Name(menu));
  if (toolkit.menu_choice != kNone)
    toolkit.posted.push_back({fake::Toolkit::Posted::Command, toolkit.menu_choice});
}

}  // namespace tk
