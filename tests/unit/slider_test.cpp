// The slider against the fake toolkit and display: where a drag puts the
// knob for each press column and cursor position, what the readout shows and
// which ramp is written for each place, and when a drag begins and ends.
#include "ui/slider.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"
#include "tests/unit/fakes.h"
#include "tests/unit/ramps.h"
#include "toolkit/toolkit.h"
#include "ui/layout.h"

namespace {

constexpr tk::Id kKnob = 图形按钮_滑动按钮;
constexpr tk::Id kLength = 标签_滑动块长度;

std::u16string Readout(int value) {
  std::u16string text = u"        屏幕亮度：";
  for (const char digit : std::to_string(value)) text += static_cast<char16_t>(digit);
  return text;
}

// The first copy's window as start-up leaves it, on the identity ramp.
class SliderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::StartProcess();
    fake::display.screen_ramp = ramps::Identity();
    CreateSavedRamp();
    tk::LoadStartWindow(MainWindowLayout());
  }

  static int KnobLeft() { return tk::GetLeft(kKnob); }
  static int Length() { return tk::GetWidth(kLength); }
  static std::u16string ReadoutText() { return fake::toolkit.props[标签1].text; }
  static std::size_t Writes() { return fake::display.writes.size(); }
  static fake::Words LastWrite() {
    if (fake::display.writes.empty()) {
      ADD_FAILURE() << "no ramp written";
      return {};
    }
    return fake::display.writes.back();
  }
  static int KnobY() { return fake::ScreenTop(kKnob) + 10; }
  // The cursor at x relative to the window's outer left edge.
  static void MoveTo(int x_in_window) {
    fake::MoveCursor(tk::GetLeft(MainWindow) + x_in_window, KnobY());
  }
};

// The knob's new left is the cursor's x in the window, less the frame box's
// left (2) and the press column, held between 28 and 268; so the press
// column stays under the cursor except where the knob is held at an end.
TEST_F(SliderTest, DragPlacesTheKnobUnderThePressColumnWithinTheTrack) {
  struct Case {
    int column;  // where the knob was pressed
    int x;       // cursor, relative to the window's outer left
    int knob;    // knob left after the move
    int readout;
    int offset;
  };
  constexpr Case kCases[] = {
      // column 0
      {0, -400, 28, 0, -50},
      {0, 29, 28, 0, -50},
      {0, 30, 28, 0, -50},
      {0, 31, 29, 0, -50},
      {0, 152, 150, 50, -31},
      {0, 269, 267, 99, -13},
      {0, 270, 268, 100, -12},
      {0, 271, 268, 100, -12},
      // column 6
      {6, 35, 28, 0, -50},
      {6, 36, 28, 0, -50},
      {6, 37, 29, 0, -50},
      {6, 158, 150, 50, -31},
      {6, 275, 267, 99, -13},
      {6, 276, 268, 100, -12},
      {6, 277, 268, 100, -12},
      // column 7
      {7, 36, 28, 0, -50},
      {7, 37, 28, 0, -50},
      {7, 38, 29, 0, -50},
      {7, 159, 150, 50, -31},
      {7, 276, 267, 99, -13},
      {7, 277, 268, 100, -12},
      {7, 278, 268, 100, -12},
      // column 8
      {8, 37, 28, 0, -50},
      {8, 38, 28, 0, -50},
      {8, 39, 29, 0, -50},
      {8, 160, 150, 50, -31},
      {8, 277, 267, 99, -13},
      {8, 278, 268, 100, -12},
      {8, 279, 268, 100, -12},
      // column 11
      {11, 40, 28, 0, -50},
      {11, 41, 28, 0, -50},
      {11, 42, 29, 0, -50},
      {11, 163, 150, 50, -31},
      {11, 280, 267, 99, -13},
      {11, 281, 268, 100, -12},
      {11, 282, 268, 100, -12},
      {11, 2000, 268, 100, -12},
  };

  // The window where start-up centres it, and moved far left, where the
  // cursor's screen x is negative.
  for (const int window_left : {803, -500}) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(testing::Message() << "window at " << window_left << ", column " << c.column
                                      << ", cursor at " << c.x);
      SetUp();
      tk::SetLeft(MainWindow, window_left);
      fake::PressButton(kKnob, c.column);
      MoveTo(c.x);
      EXPECT_EQ(KnobLeft(), c.knob);
      EXPECT_EQ(Length(), c.knob - 28);
      EXPECT_EQ(ReadoutText(), Readout(c.readout));
      ASSERT_EQ(Writes(), 2u);
      EXPECT_EQ(LastWrite(), ramps::Scaled(ramps::Identity(), c.offset));
    }
  }
}

// The readout runs 0 to 100 and the offset -50 to -12 over the 240 pixels of
// the knob's travel.
TEST_F(SliderTest, ReadoutAndOffsetFollowTheKnobsDistanceAlongTheTrack) {
  struct Case {
    int length, readout, offset;
  };
  constexpr Case kCases[] = {
      {0, 0, -50},    {1, 0, -50},    {7, 2, -49},    {63, 26, -40},   {126, 52, -30},
      {189, 78, -20}, {207, 86, -18}, {238, 99, -13}, {240, 100, -12},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "length " << c.length);
    SetUp();
    fake::PressButton(kKnob, 8);
    MoveTo(2 + 28 + c.length + 8);
    ASSERT_EQ(Length(), c.length);
    EXPECT_EQ(ReadoutText(), Readout(c.readout));
    EXPECT_EQ(LastWrite(), ramps::Scaled(ramps::Identity(), c.offset));
  }
}

// The layout's knob (187, length 159, readout 66) is where -25 puts it: a
// first move that keeps it in place changes neither readout nor screen.
TEST_F(SliderTest, TheFirstMoveContinuesFromTheStartWithoutAJump) {
  EXPECT_EQ(ReadoutText(), Readout(66));
  const fake::Words start = LastWrite();
  for (const int column : {0, 7, 11}) {
    SCOPED_TRACE(testing::Message() << "column " << column);
    SetUp();
    fake::PressButton(kKnob, column);
    fake::MoveCursor(fake::toolkit.cursor_x, fake::toolkit.cursor_y);
    EXPECT_EQ(KnobLeft(), 187);
    EXPECT_EQ(ReadoutText(), Readout(66));
    EXPECT_EQ(LastWrite(), start);
  }
}

TEST_F(SliderTest, APressRecordsTheColumnAndTheLengthOnly) {
  tk::SetWidth(kLength, 3);  // so that the press's write shows
  fake::events.lines.clear();
  fake::PressButton(kKnob, 11);
  EXPECT_EQ(DragOffset, 11);
  EXPECT_EQ(Length(), 159);
  EXPECT_EQ(Writes(), 1u);  // start-up's
  EXPECT_TRUE(fake::events.Only({"SetText", "WriteRamp", "SetLeft"}).empty());
}

// Moves over the knob reach its handler whether or not a drag is under way;
// without one they change nothing and write nothing: before any press, after
// a release (over the knob or far outside the window) and after the capture
// went elsewhere.
TEST_F(SliderTest, WithNoDragUnderWayMovesChangeNothing) {
  struct Case {
    const char* what;
    bool dragged;
    bool released;
    void (*end_drag)();
  };
  const Case kCases[] = {
      {"never pressed", false, false, [] {}},
      {"released over the knob", true, true, [] { fake::ReleaseButton(); }},
      {"released outside the window", true, true,
       [] {
         fake::MoveCursor(0, 0);
         fake::ReleaseButton();
       }},
      {"capture lost", true, false, [] { fake::LoseCapture(); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    SetUp();
    if (c.dragged) {
      fake::PressButton(kKnob, 6);
      MoveTo(100);
    }
    // The platform's release also takes the capture away; the release alone
    // must end the drag, before the capture-lost event does it again.
    std::int32_t after_release = 99;
    fake::events.spy = [&](const std::string& line) {
      if (line == "raise capture_lost 图形按钮_滑动按钮") after_release = DragOffset;
    };
    c.end_drag();
    fake::events.spy = nullptr;
    if (c.released) {
      EXPECT_EQ(after_release, -1);
    }
    EXPECT_EQ(DragOffset, -1);
    const int knob = KnobLeft();
    const std::u16string readout = ReadoutText();
    const std::size_t writes = Writes();
    fake::events.lines.clear();

    for (const int column : {0, 11, 3, 6, 9})
      fake::MoveCursor(fake::ScreenLeft(kKnob) + column, KnobY());

    EXPECT_EQ(fake::events.Count("raise mouse_moved 图形按钮_滑动按钮"), 5u);
    EXPECT_EQ(KnobLeft(), knob);
    EXPECT_EQ(ReadoutText(), readout);
    EXPECT_EQ(Writes(), writes);
  }
}

// No throttling: each move during a drag writes a ramp, the same one again
// where the knob did not move, held at an end or not.
TEST_F(SliderTest, EveryMoveDuringADragWritesOneRamp) {
  fake::PressButton(kKnob, 8);
  for (const int x : {150, 150, 150, 2000, 2000, -100, -100}) {
    const std::size_t before = Writes();
    MoveTo(x);
    ASSERT_EQ(Writes(), before + 1) << "cursor at " << x;
  }
  const auto& w = fake::display.writes;
  EXPECT_EQ(w[1], w[2]);
  EXPECT_EQ(w[2], w[3]);
  EXPECT_EQ(w[4], w[5]);
  EXPECT_EQ(w[6], w[7]);
  EXPECT_EQ(w[5], ramps::Scaled(ramps::Identity(), -12));
  EXPECT_EQ(w[7], ramps::Scaled(ramps::Identity(), -50));
}

}  // namespace
