#include "base/os_version.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

TEST(OsVersionTest, ClassifiesEveryVersionFamily) {
  struct Case {
    uint32_t major, minor, build, registry_major;
    OsVersionClass expected;
  } cases[] = {
      {4, 0, 1381, 0, 0},  {5, 0, 2195, 0, 0},   {5, 1, 2600, 0, 1},  {5, 2, 3790, 0, 2},
      {6, 0, 6002, 0, 3},  {6, 1, 7601, 0, 4},   {6, 2, 9200, 0, 5},  {6, 3, 9600, 0, 6},
      {6, 4, 9800, 0, 6},  {10, 0, 10240, 0, 7}, {10, 0, 10585, 0, 7}, {10, 0, 10586, 0, 8},
      {10, 0, 19045, 0, 8}, {11, 0, 1, 0, 9},    {7, 0, 0, 0, 9},
      // A system that reports 6.2 but whose registry says 10 is Windows 10.
      {6, 2, 9200, 10, 7}, {6, 3, 19045, 10, 7}, {6, 3, 9600, 6, 6},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, ClassifyOsVersion(c.major, c.minor, c.build, c.registry_major))
        << c.major << "." << c.minor << "." << c.build << " registry " << c.registry_major;
  }
}

}  // namespace
}  // namespace lite_installer
