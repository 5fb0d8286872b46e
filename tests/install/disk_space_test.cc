#include "install/disk_space.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

TEST(DiskSpaceTest, FourHundredMebibytesAreExactlyEnough) {
  EXPECT_TRUE(IsEnoughFreeSpace(419430400));
  EXPECT_FALSE(IsEnoughFreeSpace(419430399));
  EXPECT_FALSE(IsEnoughFreeSpace(0));
  // Counted in 64 bits: a volume with more than 4 GiB free is not wrapped.
  EXPECT_TRUE(IsEnoughFreeSpace(0x100000000ull));
  EXPECT_TRUE(IsEnoughFreeSpace(0x100000000ull + 1));
}

}  // namespace
}  // namespace lite_installer
