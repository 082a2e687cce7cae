// The tray icon and the window commands against the fake toolkit: how each
// command moves the window between shown, hidden and closing, where a show
// from the tray puts it, and that the icon comes back with the notification
// area.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/unit/fakes.h"
#include "toolkit/toolkit.h"
#include "ui/layout.h"

namespace {

using Lines = std::vector<std::string>;

// The first copy's window as start-up leaves it: shown at (803, 485).
class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::StartProcess();
    CreateSavedRamp();
    tk::LoadStartWindow(MainWindowLayout());
    fake::toolkit.cursor_x = 100;
    fake::toolkit.cursor_y = 50;
  }

  static bool Shown() { return tk::GetVisible(MainWindow); }
  static int Left() { return tk::GetLeft(MainWindow); }
  static int Top() { return tk::GetTop(MainWindow); }
};

TEST_F(TrayTest, CommandsMoveTheWindowBetweenShownHiddenAndClosing) {
  enum class Command { Tray1, Tray2, Tray3NoChoice, Tray3Exit, Minimise, Close };
  struct Case {
    const char* what;
    bool shown;
    Command command;
    bool shown_after;
    bool moved;  // to the cursor's (100, 50): (-57, -70)
    bool closing;
    bool menu;
  };
  constexpr Case kCases[] = {
      {"shown, left click", true, Command::Tray1, false, false, false, false},
      {"shown, double click", true, Command::Tray2, true, false, false, false},
      {"shown, right click, no choice", true, Command::Tray3NoChoice, true, false, false, true},
      {"shown, right click, 退出", true, Command::Tray3Exit, true, false, true, true},
      {"shown, —", true, Command::Minimise, false, false, false, false},
      {"shown, ×", true, Command::Close, true, false, true, false},
      {"hidden, left click", false, Command::Tray1, true, true, false, false},
      {"hidden, double click", false, Command::Tray2, false, false, false, false},
      {"hidden, right click, no choice", false, Command::Tray3NoChoice, false, false, false, true},
      {"hidden, right click, 退出", false, Command::Tray3Exit, false, false, true, true},
      {"hidden, —", false, Command::Minimise, false, false, false, false},
      {"hidden, ×", false, Command::Close, false, false, true, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    SetUp();
    if (!c.shown) tk::SetVisible(MainWindow, false);
    fake::events.lines.clear();

    switch (c.command) {
      case Command::Tray1: fake::TrayEvent(tk::kTrayLeftClick); break;
      case Command::Tray2: fake::TrayEvent(tk::kTrayDoubleClick); break;
      case Command::Tray3NoChoice: fake::TrayEvent(tk::kTrayContextMenu); break;
      case Command::Tray3Exit:
        fake::toolkit.menu_choice = ExitMenuItem;
        fake::TrayEvent(tk::kTrayContextMenu);
        break;
      case Command::Minimise: fake::Click(超级按钮_最小化); break;
      case Command::Close: fake::Click(超级按钮_退出); break;
    }

    EXPECT_EQ(Shown(), c.shown_after);
    EXPECT_EQ(Left(), c.moved ? -57 : 803);
    EXPECT_EQ(Top(), c.moved ? -70 : 485);
    EXPECT_EQ(fake::events.Count("PopUpTrayMenu MainWindow TrayMenu"), c.menu ? 1u : 0u);

    // The loop's next turn: closing is the destroy request carried out.
    fake::DeliverPosted();
    EXPECT_EQ(fake::toolkit.window_exists, !c.closing);
    EXPECT_EQ(fake::events.Has("raise destroying"), c.closing);
  }
}

// The window comes up centred on the cursor with its bottom 30 pixels above
// it, wherever the cursor is; x is read and written before y.
TEST_F(TrayTest, AHiddenWindowIsShownNextToTheCursor) {
  struct Case {
    int cursor_x, cursor_y, left, top;
  };
  constexpr Case kCases[] = {
      {100, 50, -57, -70},
      {157, 120, 0, 0},
      {1900, 1070, 1743, 950},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "cursor at " << c.cursor_x << ", " << c.cursor_y);
    SetUp();
    fake::Click(超级按钮_最小化);
    fake::toolkit.cursor_x = c.cursor_x;
    fake::toolkit.cursor_y = c.cursor_y;
    fake::events.lines.clear();

    fake::TrayEvent(tk::kTrayLeftClick);

    const std::string left = std::to_string(c.left), top = std::to_string(c.top);
    EXPECT_EQ(fake::events.Only({"GetCursor", "SetLeft", "SetTop", "SetVisible"}),
              (Lines{"GetCursorX", "SetLeft MainWindow " + left, "GetCursorY",
                     "SetTop MainWindow " + top, "SetVisible MainWindow 1"}));
    EXPECT_TRUE(Shown());
    EXPECT_EQ(Left(), c.left);
    EXPECT_EQ(Top(), c.top);
  }
}

// A double click on the icon arrives as 1, 2, 1: two toggles.
TEST_F(TrayTest, ADoubleClickLeavesTheWindowAsItWas) {
  for (const bool shown : {true, false}) {
    SCOPED_TRACE(shown ? "shown" : "hidden");
    SetUp();
    tk::SetVisible(MainWindow, shown);
    for (const int type : {tk::kTrayLeftClick, tk::kTrayDoubleClick, tk::kTrayLeftClick})
      fake::TrayEvent(type);
    EXPECT_EQ(Shown(), shown);
  }
}

TEST_F(TrayTest, TheIconComesBackWithTheNotificationArea) {
  const Lines installed = fake::events.Only({"SetTrayIcon"});
  ASSERT_EQ(installed, Lines{"SetTrayIcon MainWindow TRAY_ICON_IMAGE 屏幕亮度"});
  fake::events.lines.clear();

  fake::TaskbarCreated();

  EXPECT_EQ(fake::events.lines, (Lines{"raise tray_area_reset", installed.front()}));
  EXPECT_EQ(fake::toolkit.tray_tooltip, u"屏幕亮度");
}

}  // namespace
