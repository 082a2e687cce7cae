// The program's life from the entry routine to process end, against the
// fakes: what happens in which order at start-up, on each way of closing,
// in a second copy, and when the session ends.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/unit/fakes.h"
#include "tests/unit/ramps.h"
#include "toolkit/toolkit.h"
#include "ui/layout.h"
#include "ui/slider.h"

namespace {

using Lines = std::vector<std::string>;

class LifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::StartProcess();
    fake::display.screen_ramp = captured_;
  }

  // A drag that leaves the screen at some brightness other than the start's,
  // so that the restore is a write of its own.
  static void Drag() {
    fake::PressButton(图形按钮_滑动按钮, 6);
    fake::MoveCursor(fake::ScreenLeft(MainWindow) + 100, fake::toolkit.cursor_y);
    fake::ReleaseButton();
  }

  const fake::Words captured_ = ramps::Irregular();
};

TEST_F(LifecycleTest, FirstCopyCapturesDimsAndInstallsTheIconBeforeShowing) {
  struct Seen {
    std::int32_t drag_offset = 0;
    int height = 0;
  };
  Seen at_first_write, at_height, at_show;
  fake::events.spy = [&](const std::string& line) {
    const Seen now{DragOffset, fake::toolkit.props.empty() ? 0 : tk::GetHeight(MainWindow)};
    if (line == "WriteRamp" && fake::display.writes.empty()) at_first_write = now;
    if (line == "SetHeight MainWindow 90") at_height = now;
    if (line == "shown") at_show = now;
  };

  EXPECT_EQ(tk::ProgramMain(), 0);

  EXPECT_EQ(fake::events.UpTo("shown"),
            (Lines{"Initialise", "RegisterExitCleanup", "LoadStartWindow", "raise created",
                   "CreateInstanceMarker korvilet", "OpenScreen", "ReadRamp", "WriteRamp",
                   "SetHeight MainWindow 90", "SetTrayIcon MainWindow TRAY_ICON_IMAGE 屏幕亮度",
                   "shown"}));
  ASSERT_FALSE(fake::display.writes.empty());
  EXPECT_EQ(fake::display.writes.front(), ramps::Scaled(captured_, -25));
  // DragOffset is set between the first write and the height.
  EXPECT_EQ(at_first_write.drag_offset, 0);
  EXPECT_EQ(at_height.drag_offset, -1);
  EXPECT_EQ(at_show.drag_offset, -1);
  EXPECT_EQ(at_show.height, 90);
  EXPECT_EQ(tk::GetWidth(MainWindow), 314);
}

// "×", the tray menu's "退出" and a close from the system end the same way:
// the captured ramp goes back, then the icon, then the window, and the loop
// ends before the script's next action; SavedRamp goes at process end.
TEST_F(LifecycleTest, EveryWayOfClosingRestoresThenRemovesTheIcon) {
  struct Case {
    const char* what;
    std::function<void()> close;
  };
  const Case kCases[] = {
      {"close button", [] { fake::Click(超级按钮_退出); }},
      {"tray menu exit",
       [] {
         fake::toolkit.menu_choice = ExitMenuItem;
         fake::TrayEvent(tk::kTrayContextMenu);
       }},
      {"system close", [] { fake::SystemClose(); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    SetUp();
    fake::toolkit.script = {Drag, c.close, [] { fake::Mark("after the close"); }};

    EXPECT_EQ(tk::ProgramMain(), 0);

    EXPECT_EQ(fake::events.From("raise destroying"),
              (Lines{"raise destroying", "WriteRamp", "RemoveTrayIcon", "window destroyed",
                     "loop ended"}));
    EXPECT_FALSE(fake::events.Has("after the close"));
    ASSERT_GE(fake::display.writes.size(), 3u);  // start, drag, restore
    EXPECT_NE(fake::display.writes[1], captured_);
    EXPECT_EQ(fake::display.writes.back(), captured_);

    EXPECT_NE(SavedRamp, nullptr);
    fake::EndProcess();
    EXPECT_EQ(SavedRamp, nullptr);
    EXPECT_EQ(fake::events.lines.back(), "ExitCleanup");
  }
}

TEST_F(LifecycleTest, ACopyThatFindsTheMarkerLeavesTheDisplayAlone) {
  struct Case {
    MarkerOutcome outcome;
    bool second_copy;
  };
  constexpr Case kCases[] = {
      {MarkerOutcome::AlreadyExists, true},
      {MarkerOutcome::AccessDenied, true},
      {MarkerOutcome::Created, false},
      {MarkerOutcome::OtherFailure, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "marker outcome " << static_cast<int>(c.outcome));
    SetUp();
    fake::marker.outcome = c.outcome;
    fake::toolkit.script = {[] { fake::Mark("first turn"); }};

    EXPECT_EQ(tk::ProgramMain(), 0);
    fake::EndProcess();

    if (c.second_copy) {
      // The window shows until the loop's first turn carries out the request.
      EXPECT_EQ(fake::events.lines,
                (Lines{"Initialise", "RegisterExitCleanup", "LoadStartWindow", "raise created",
                       "CreateInstanceMarker korvilet", "RequestDestroy MainWindow", "shown",
                       "RunEventLoop", "raise destroying", "window destroyed", "loop ended",
                       "ExitCleanup"}));
      EXPECT_TRUE(fake::display.writes.empty());
      EXPECT_EQ(DragOffset, 0);
      EXPECT_EQ(tk::GetHeight(MainWindow), 110);
    } else {
      EXPECT_TRUE(fake::events.Has("ReadRamp"));
      EXPECT_TRUE(fake::events.Has("SetTrayIcon MainWindow TRAY_ICON_IMAGE 屏幕亮度"));
      EXPECT_TRUE(fake::events.Has("first turn"));
      EXPECT_EQ(DragOffset, -1);
      ASSERT_EQ(fake::display.writes.size(), 1u);
      EXPECT_EQ(fake::display.writes.front(), ramps::Scaled(captured_, -25));
    }
  }
}

// The system ends the process after WM_ENDSESSION without destroying the
// window, so that message is the last chance to give the screen back.
TEST_F(LifecycleTest, AnEndingSessionWritesTheCapturedRampBack) {
  fake::toolkit.script = {Drag, fake::EndSession};

  EXPECT_EQ(tk::ProgramMain(), 0);

  EXPECT_EQ(fake::events.From("raise session_ending"),
            (Lines{"raise session_ending", "WriteRamp", "loop ended"}));
  ASSERT_EQ(fake::display.writes.size(), 3u);
  EXPECT_EQ(fake::display.writes.back(), captured_);
  EXPECT_FALSE(fake::events.Has("raise destroying"));
}

}  // namespace
