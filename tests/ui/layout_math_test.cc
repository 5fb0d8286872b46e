#include "ui/layout_math.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

TEST(ProgressFill, SplitsBarBetweenFillAndTrack) {
  EXPECT_EQ(ProgressFillWidth(0, 100, 50, 130), 65);
  EXPECT_EQ(130 - ProgressFillWidth(0, 100, 50, 130), 65);
  EXPECT_EQ(ProgressFillWidth(0, 100, 0, 130), 0);
  EXPECT_EQ(ProgressFillWidth(0, 100, 100, 130), 130);
  EXPECT_EQ(ProgressFillWidth(0, 100, 33, 130), 42);  // 4290 / 100, truncated
  EXPECT_EQ(ProgressFillWidth(20, 40, 30, 130), 65);
  // A degenerate range does not divide by zero.
  EXPECT_EQ(ProgressFillWidth(5, 5, 5, 130), 0);
}

TEST(CenterWindowOrigin, CentresOnReferenceAndStaysInWorkArea) {
  const LayoutRect work{0, 0, 1280, 870};
  int left = 0, top = 0;
  CenteredOrigin(work, work, 400, 176, &left, &top);
  EXPECT_EQ(left, 440);
  EXPECT_EQ(top, 347);
  // Owner near the right bottom corner: pushed back inside.
  CenteredOrigin(LayoutRect{1100, 800, 1300, 900}, work, 400, 176, &left, &top);
  EXPECT_EQ(left, 880);
  EXPECT_EQ(top, 694);
  // Larger than the work area: kept at its top-left.
  CenteredOrigin(work, LayoutRect{100, 50, 400, 300}, 690, 296, &left, &top);
  EXPECT_EQ(left, 100);
  EXPECT_EQ(top, 50);
}

TEST(CheckboxFrames, IndexAndTextOffset) {
  EXPECT_EQ(CheckboxFrameIndex(false, false, false), 0);
  EXPECT_EQ(CheckboxFrameIndex(false, true, false), 1);
  EXPECT_EQ(CheckboxFrameIndex(true, true, false), 2);
  EXPECT_EQ(CheckboxFrameIndex(false, false, true), 3);
  EXPECT_EQ(CheckboxFrameIndex(false, true, true), 4);
  EXPECT_EQ(CheckboxFrameIndex(true, false, true), 5);
  EXPECT_EQ(CenteringOffset(15, 14), 0);
  EXPECT_EQ(CenteringOffset(15, 11), 2);
  EXPECT_EQ(CenteringOffset(15, 20), 0);
}

}  // namespace
}  // namespace lite_installer
