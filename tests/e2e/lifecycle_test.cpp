// Start-up, the single copy and shut-down of the real program: it dims the
// display to three quarters of what it found, only one copy ever runs, and
// closing gives the display back the ramp it had.
#include "tests/e2e/harness.h"

namespace e2e {
namespace {

using LifecycleTest = ScreendimTest;

bool RampIsNear(const Ramp& expected) {
  return RampDistance(ReadScreenRamp(), expected) <= kRampTolerance;
}

TEST_F(LifecycleTest, DimsToThreeQuartersAndRestoresOnClose) {
  Program program;
  ASSERT_TRUE(program.Start());
  HWND window = program.Window();
  ASSERT_TRUE(window) << "no window appeared";
  EXPECT_TRUE(WaitFor([] { return RampIsNear(Scaled(IdentityRamp(), -25)); }))
      << "the ramp is " << RampDistance(ReadScreenRamp(), Scaled(IdentityRamp(), -25))
      << " away from three quarters";

  const RECT rect = ScreenRect(window);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - 314) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - 110) / 2;
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right - rect.left, 314);
  EXPECT_EQ(rect.bottom - rect.top, 90);

  EXPECT_EQ(program.Close(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadScreenRamp(), IdentityRamp()) << "the captured ramp was not written back";
}

TEST_F(LifecycleTest, RestoresTheRampItFoundNotTheIdentity) {
  ASSERT_TRUE(WriteScreenRamp(CurvedRamp()));
  const Ramp before = ReadScreenRamp();
  ASSERT_NE(before, IdentityRamp());

  Program program;
  ASSERT_TRUE(program.Start());
  ASSERT_TRUE(program.Window());
  EXPECT_TRUE(WaitFor([&] { return RampIsNear(Scaled(before, -25)); }));
  EXPECT_EQ(program.Close(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadScreenRamp(), before);
}

TEST_F(LifecycleTest, SecondCopyEndsAtOnceAndLeavesTheFirstAlone) {
  Program first;
  ASSERT_TRUE(first.Start());
  HWND window = first.Window();
  ASSERT_TRUE(window);
  ASSERT_TRUE(WaitFor([] { return RampIsNear(Scaled(IdentityRamp(), -25)); }));
  const Ramp dimmed = ReadScreenRamp();

  Program second;
  ASSERT_TRUE(second.Start());
  EXPECT_EQ(second.WaitForExit(5000ms), std::optional<DWORD>(0));
  EXPECT_EQ(ReadScreenRamp(), dimmed) << "the second copy touched the display";
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(AllMainWindows().size(), 1u);

  EXPECT_EQ(first.Close(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadScreenRamp(), IdentityRamp());
}

TEST_F(LifecycleTest, TwoCopiesStartedTogetherLeaveOneRunningAndTheScreenRestored) {
  Program a, b;
  ASSERT_TRUE(a.Start());
  ASSERT_TRUE(b.Start());
  EXPECT_TRUE(WaitFor([&] { return a.Running() != b.Running(); }, 10000ms))
      << "expected exactly one copy to stay";
  Program& survivor = a.Running() ? a : b;
  Program& quitter = a.Running() ? b : a;
  EXPECT_EQ(quitter.WaitForExit(), std::optional<DWORD>(0));
  ASSERT_TRUE(survivor.Window());
  EXPECT_TRUE(WaitFor([] { return RampIsNear(Scaled(IdentityRamp(), -25)); }));
  EXPECT_EQ(survivor.Close(), std::optional<DWORD>(0));
  EXPECT_EQ(ReadScreenRamp(), IdentityRamp());
}

TEST_F(LifecycleTest, WindowCanBeStartedAgainAfterClosing) {
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(program.Window());
    EXPECT_TRUE(WaitFor([] { return RampIsNear(Scaled(IdentityRamp(), -25)); }));
    EXPECT_EQ(program.Close(), std::optional<DWORD>(0));
    EXPECT_EQ(ReadScreenRamp(), IdentityRamp());
  }
}

}  // namespace
}  // namespace e2e
