// The brightness engine against the fake display: the arithmetic of a
// written ramp word by word, that every write derives from the captured ramp
// alone, and that nothing reaches the screen without a good capture.
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

#include "tests/unit/fakes.h"
#include "tests/unit/ramps.h"

namespace {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::StartProcess();
    CreateSavedRamp();
  }

  // The screen holds `ramp`; the engine captures it.
  void Capture(const fake::Words& ramp) {
    fake::display.screen_ramp = ramp;
    CaptureRamp();
  }

  const fake::Words& LastWrite() const { return fake::display.writes.back(); }
};

// Every column of the worked table, applied one after another to the same
// capture: a write that built on the one before it would miss from the
// second column on. The table holds the truncation cases too: 65535 at -12
// is 57670.8 and 0 at +50 is 32767.5, both rounded down.
TEST_F(EngineTest, WritesTheWorkedLevelsForEachOffset) {
  constexpr std::array<std::uint16_t, 6> kCaptured{0, 257, 32767, 32768, 40000, 65535};
  constexpr std::array<std::int32_t, 8> kOffsets{-100, -50, -25, -12, 0, 25, 50, 100};
  constexpr std::uint16_t kWritten[6][8] = {
      {0, 0, 0, 0, 0, 16383, 32767, 65535},
      {0, 128, 192, 226, 257, 16576, 32896, 65535},
      {0, 16383, 24575, 28834, 32767, 40959, 49151, 65535},
      {0, 16384, 24576, 28835, 32768, 40959, 49151, 65535},
      {0, 20000, 30000, 35200, 40000, 46383, 52767, 65535},
      {0, 32767, 49151, 57670, 65535, 65535, 65535, 65535},
  };
  fake::Words ramp{};
  for (int w = 0; w < kRampWords; ++w) ramp[w] = kCaptured[w % kCaptured.size()];
  Capture(ramp);

  for (std::size_t o = 0; o < kOffsets.size(); ++o) {
    SCOPED_TRACE(testing::Message() << "offset " << kOffsets[o]);
    ApplyBrightness(kOffsets[o]);
    ASSERT_EQ(fake::display.writes.size(), o + 1);
    for (int w = 0; w < kRampWords; ++w) {
      const std::size_t level = w % kCaptured.size();
      ASSERT_EQ(LastWrite()[w], kWritten[level][o]) << "captured level " << kCaptured[level];
    }
  }
}

// Every level in every position at every offset from -100 to 100 against the
// whole-number rule. Each word is checked against its own captured word, so
// a word that took anything from its neighbours or its place would show.
TEST_F(EngineTest, EveryWordIsItsOwnCapturedLevelScaled) {
  for (int first = 0; first < 65536; first += kRampWords) {
    fake::Words ramp{};
    for (int w = 0; w < kRampWords; ++w) ramp[w] = static_cast<std::uint16_t>((first + w) % 65536);
    Capture(ramp);
    for (std::int32_t offset = -100; offset <= 100; ++offset) {
      fake::display.writes.clear();
      ApplyBrightness(offset);
      ASSERT_EQ(fake::display.writes.size(), 1u);
      const fake::Words want = ramps::Scaled(ramp, offset);
      if (LastWrite() == want) continue;
      for (int w = 0; w < kRampWords; ++w)
        ASSERT_EQ(LastWrite()[w], want[w]) << "level " << ramp[w] << " at offset " << offset;
    }
  }
}

TEST(EntryConversion, LevelsAndEntriesRoundTrip) {
  for (std::int32_t level = 0; level <= 65535; ++level) {
    const std::int16_t entry = LevelToEntry(level);
    ASSERT_EQ(static_cast<std::uint16_t>(entry), level);
    ASSERT_EQ(EntryToLevel(entry), level);
  }
  EXPECT_EQ(EntryToLevel(-1), 65535);
  EXPECT_EQ(EntryToLevel(-32768), 32768);
  EXPECT_EQ(LevelToEntry(49151), -16385);
}

TEST_F(EngineTest, OffsetZeroRightAfterCaptureWritesTheWordsRead) {
  const fake::Words read = ramps::Irregular();
  Capture(read);
  ApplyBrightness(0);
  ASSERT_EQ(fake::display.writes.size(), 1u);
  EXPECT_EQ(LastWrite(), read);
}

TEST_F(EngineTest, OffsetsOutsideTheRangeAreClamped) {
  struct Case {
    std::int32_t offset, acts_as;
  };
  constexpr Case kCases[] = {
      {-101, -100}, {-150, -100}, {std::numeric_limits<std::int32_t>::min(), -100},
      {101, 100},   {250, 100},   {std::numeric_limits<std::int32_t>::max(), 100},
  };
  const fake::Words captured = ramps::Irregular();
  Capture(captured);
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "offset " << c.offset);
    fake::display.writes.clear();
    ApplyBrightness(c.offset);
    ASSERT_EQ(fake::display.writes.size(), 1u);
    EXPECT_EQ(LastWrite(), ramps::Scaled(captured, c.acts_as));
  }
}

TEST_F(EngineTest, WithoutAScreenNothingIsReadOrWritten) {
  fake::display.has_screen = false;
  Capture(ramps::Identity());
  for (const std::int32_t offset : {-25, -50, 0, 100}) ApplyBrightness(offset);
  EXPECT_FALSE(fake::events.Has("ReadRamp"));
  EXPECT_TRUE(fake::display.writes.empty());
  EXPECT_EQ(ScreenDC, nullptr);
}

// A failed read leaves SavedRamp all zero; a ramp of zeros would blacken the
// screen now and "restore" it to black at exit.
TEST_F(EngineTest, AFailedOrAllZeroCaptureIsNeverWrittenBack) {
  struct Case {
    const char* what;
    bool read_succeeds;
    fake::Words delivered;
  };
  const Case kCases[] = {
      {"read fails", false, ramps::Identity()},
      {"read brings zeros", true, fake::Words{}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    SetUp();
    fake::display.read_succeeds = c.read_succeeds;
    Capture(c.delivered);
    ApplyBrightness(-25);
    ApplyBrightness(-40);
    ApplyBrightness(0);
    EXPECT_TRUE(fake::display.writes.empty());
    EXPECT_EQ(fake::events.Only({"OpenScreen", "ReadRamp", "CloseScreen"}),
              (std::vector<std::string>{"OpenScreen", "ReadRamp", "CloseScreen"}));
    EXPECT_EQ(ScreenDC, nullptr);
  }
}

// A single non-zero word is a real ramp, not a failed read.
TEST_F(EngineTest, ARampWithOneNonZeroWordIsCaptured) {
  fake::Words ramp{};
  ramp[767] = 65535;
  Capture(ramp);
  ApplyBrightness(0);
  ASSERT_EQ(fake::display.writes.size(), 1u);
  EXPECT_EQ(LastWrite(), ramp);
  EXPECT_FALSE(fake::events.Has("CloseScreen"));
}

}  // namespace
