#include "ui/main_window_layout.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

void ExpectRect(const LayoutRect& rect, int left, int top, int right, int bottom, const char* what) {
  EXPECT_EQ(left, rect.left) << what;
  EXPECT_EQ(top, rect.top) << what;
  EXPECT_EQ(right, rect.right) << what;
  EXPECT_EQ(bottom, rect.bottom) << what;
}

TEST(MainWindowLayoutTest, WelcomeScreenWithoutFlash) {
  const WelcomeLayout layout = ComputeWelcomeLayout(false, 28, 196, 34, 103, 34);
  ExpectRect(layout.title, 180, 23, 557, 46, "title");
  ExpectRect(layout.make_default, 180, 99, 482, 119, "make default");
  ExpectRect(layout.flash, 0, 0, 0, 0, "flash");
  ExpectRect(layout.statistics, 180, 120, 600, 148, "statistics");
  ExpectRect(layout.privacy, 203, 148, 600, 181, "privacy");
  ExpectRect(layout.install, 180, 185, 376, 219, "install");
  ExpectRect(layout.cancel, 386, 185, 489, 219, "cancel");
}

TEST(MainWindowLayoutTest, WelcomeScreenWithFlashMovesTheLowerRowsDown) {
  const WelcomeLayout layout = ComputeWelcomeLayout(true, 15, 196, 34, 103, 34);
  ExpectRect(layout.make_default, 180, 99, 482, 119, "make default");
  ExpectRect(layout.flash, 180, 120, 482, 140, "flash");
  ExpectRect(layout.statistics, 180, 140, 600, 155, "statistics");
  ExpectRect(layout.privacy, 203, 155, 600, 201, "privacy");
  ExpectRect(layout.install, 180, 205, 376, 239, "install");
  ExpectRect(layout.cancel, 386, 205, 489, 239, "cancel");
}

TEST(MainWindowLayoutTest, StatisticsTextWrapsWithinItsRow) {
  const LayoutRect without = StatisticsReferenceRect(false);
  const LayoutRect with = StatisticsReferenceRect(true);
  EXPECT_EQ(120, without.top);
  EXPECT_EQ(140, with.top);
  // 600 - 180 - (15 box + 8 gap) = 397 pixels of text.
  EXPECT_EQ(420, without.Width());
  EXPECT_EQ(420, with.Width());
}

TEST(MainWindowLayoutTest, ProgressScreen) {
  ExpectRect(ProgressBarRect(296, 130, 11), 24, 219, 154, 230, "bar");
  ExpectRect(TimeLeftRect(296), 6, 233, 172, 245, "time left");
  // The window keeps its centre when it shrinks from 648 to 178 pixels.
  EXPECT_EQ(316 + 235, ShrunkWindowLeft(316, 648));
  EXPECT_EQ(-5, ShrunkWindowLeft(-5, 178));
}

}  // namespace
}  // namespace lite_installer
