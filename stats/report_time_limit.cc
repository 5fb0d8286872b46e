#include "stats/report_time_limit.h"

#include "net/download_limits.h"

namespace lite_installer {

namespace {

// 0 marks "not stopped", so a tick count of 0 is taken as 1.
uint32_t NonZero(uint32_t now_ms) { return now_ms | 1; }

}  // namespace

void ReportTimeLimit::Start(uint32_t now_ms) {
  uint32_t not_started = 0;
  start_ms_.compare_exchange_strong(not_started, NonZero(now_ms));
}

uint32_t ReportTimeLimit::LeftMs(bool stop_signalled, uint32_t now_ms) {
  // A request that began before the stop ends within its own limit, so
  // within one limit of the stop, like every request after it.
  uint32_t start = start_ms_.load();
  if (start == 0) {
    if (!stop_signalled) return kStatisticsRequestLimitMs;
    Start(now_ms);
    start = start_ms_.load();
  }
  // Signed: `now_ms` may have been read just before another thread started
  // the limit.
  const int32_t elapsed = static_cast<int32_t>(NonZero(now_ms) - start);
  if (elapsed <= 0) return kStatisticsRequestLimitMs;
  if (static_cast<uint32_t>(elapsed) >= kStatisticsRequestLimitMs) return 0;
  return kStatisticsRequestLimitMs - static_cast<uint32_t>(elapsed);
}

}  // namespace lite_installer
