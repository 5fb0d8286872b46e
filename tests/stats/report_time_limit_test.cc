#include "stats/report_time_limit.h"

#include <gtest/gtest.h>

#include "net/download_limits.h"

namespace lite_installer {
namespace {

TEST(ReportTimeLimitTest, TheFirstStopStartsOneLimitForEveryLaterRequest) {
  ReportTimeLimit limit;
  EXPECT_EQ(kStatisticsRequestLimitMs, limit.LeftMs(false, 1001));
  limit.Start(1001);
  limit.Start(5001);  // a second stop changes nothing
  EXPECT_EQ(kStatisticsRequestLimitMs - 4000, limit.LeftMs(true, 5001));
  EXPECT_EQ(kStatisticsRequestLimitMs, limit.LeftMs(true, 999));  // a tick read just before the stop
  EXPECT_EQ(0u, limit.LeftMs(true, 1001 + kStatisticsRequestLimitMs));
}

TEST(ReportTimeLimitTest, AStopSeenWithoutStartStartsTheLimitThenAcrossTheTickWrap) {
  ReportTimeLimit limit;
  EXPECT_EQ(kStatisticsRequestLimitMs, limit.LeftMs(true, 0xFFFFFF01u));
  EXPECT_EQ(kStatisticsRequestLimitMs - 1000, limit.LeftMs(false, 0xFFFFFF01u + 1000u));
}

}  // namespace
}  // namespace lite_installer
