#include "ui/progress_protocol.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"

namespace lite_installer {
namespace {

TEST(ProgressProtocolTest, InstallStagesMoveTheBarOnlyAtFiveAndSix) {
  EXPECT_EQ(75, InstallStagePosition(5));
  EXPECT_EQ(79, InstallStagePosition(6));
  for (int stage : {-1, 0, 1, 4, 7, 100}) EXPECT_EQ(0, InstallStagePosition(stage)) << stage;
}

TEST(ProgressProtocolTest, ImportProgressCoversEightyToHundred) {
  EXPECT_EQ(80, ImportProgressPosition(0));
  EXPECT_EQ(90, ImportProgressPosition(50));
  EXPECT_EQ(100, ImportProgressPosition(100));
  // Single precision, truncated toward zero: 33 % is 86.6 -> 86.
  EXPECT_EQ(86, ImportProgressPosition(33));
  // Out-of-range values from a setup are mapped, not rejected or clamped.
  EXPECT_EQ(120, ImportProgressPosition(200));
}

TEST(ProgressProtocolTest, ImportStagesCarryUpperBounds) {
  int seconds = 0;
  ASSERT_TRUE(ImportStageTimeLeft(1, &seconds));
  EXPECT_EQ(60, seconds);
  ASSERT_TRUE(ImportStageTimeLeft(2, &seconds));
  EXPECT_EQ(30, seconds);
  ASSERT_TRUE(ImportStageTimeLeft(3, &seconds));
  EXPECT_EQ(10, seconds);
  seconds = -5;
  EXPECT_FALSE(ImportStageTimeLeft(0, &seconds));
  EXPECT_FALSE(ImportStageTimeLeft(4, &seconds));
  EXPECT_EQ(-5, seconds);
}

TEST(ProgressProtocolTest, TimeLeftTextByKind) {
  struct Case {
    uint32_t seconds;
    int kind;
    int string_id;
    uint32_t value;
  } cases[] = {
      {59, 1, IDS_LESS_THAN_SECONDS_LEFT, 59},   {60, 1, IDS_MINUTES_LEFT, 1},  {239, 1, IDS_MINUTES_LEFT, 3},
      {0, 1, IDS_LESS_THAN_SECONDS_LEFT, 0},     {240, 2, IDS_LESS_THAN_MINUTES_LEFT, 4},
      {180, 2, IDS_LESS_THAN_MINUTES_LEFT, 3},   {60, 2, IDS_LESS_THAN_MINUTES_LEFT, 1},
      {30, 2, IDS_UPPER_BOUND_SECONDS_LEFT, 30}, {10, 2, IDS_UPPER_BOUND_SECONDS_LEFT, 10}, {239, 0, 0, 0},
      {500, 3, 0, 0},                            {500, -1, 0, 0},
      // A negative count read unsigned is a huge number of minutes, not a crash.
      {0xFFFFFFFFu, 1, IDS_MINUTES_LEFT, 0xFFFFFFFFu / 60},
  };
  for (const Case& c : cases) {
    const TimeLeftText text = ChooseTimeLeftText(c.seconds, c.kind);
    EXPECT_EQ(c.string_id, text.string_id) << c.seconds << "/" << c.kind;
    EXPECT_EQ(c.value, text.value) << c.seconds << "/" << c.kind;
  }
}

TEST(ProgressProtocolTest, FormatWithIntegerFillsOneConversionOnly) {
  EXPECT_EQ(L"Less than 59 secs left", FormatWithInteger(L"Less than %i secs left", 59, 511));
  EXPECT_EQ(L"Noch 4 Min.", FormatWithInteger(L"Noch %i Min.", 4, 511));
  EXPECT_EQ(L"7 of 100%", FormatWithInteger(L"%d of 100%%", 7, 511));
  // A second conversion or a string conversion is copied, never formatted.
  EXPECT_EQ(L"1 and %i %s", FormatWithInteger(L"%u and %i %s", 1, 511));
  EXPECT_EQ(L"4294967295", FormatWithInteger(L"%i", 4294967295u, 511));
  EXPECT_EQ(L"trailing %", FormatWithInteger(L"trailing %", 3, 511));
  EXPECT_EQ(L"", FormatWithInteger(L"", 3, 511));
  // Longer results are cut.
  EXPECT_EQ(std::wstring(511, L'x'), FormatWithInteger(std::wstring(600, L'x'), 1, 511));
}

TEST(ProgressProtocolTest, TaskbarValueStaysWithinTheBar) {
  // Positions from the setup's import percentage are not bounded; the
  // taskbar gets 0..100 whatever arrives.
  EXPECT_EQ(0u, TaskbarProgressValue(ImportProgressPosition(-2000000000)));
  EXPECT_EQ(0u, TaskbarProgressValue(-1));
  EXPECT_EQ(0u, TaskbarProgressValue(0));
  EXPECT_EQ(90u, TaskbarProgressValue(ImportProgressPosition(50)));
  EXPECT_EQ(100u, TaskbarProgressValue(100));
  EXPECT_EQ(100u, TaskbarProgressValue(ImportProgressPosition(2000000000)));
}

}  // namespace
}  // namespace lite_installer
