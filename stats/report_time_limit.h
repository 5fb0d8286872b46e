// The time within which statistics requests must end around a stop. While
// the run goes on each request has the full statistics limit; from the stop
// on, every request (one already under way included) ends within one limit
// that began with the stop, so the reports sent on the way out cannot hold
// the program longer than that. No system calls; any thread may call it.
#ifndef STATS_REPORT_TIME_LIMIT_H_
#define STATS_REPORT_TIME_LIMIT_H_

#include <atomic>
#include <cstdint>

namespace lite_installer {

class ReportTimeLimit {
 public:
  // Starts the shared limit at the tick count `now_ms`, unless it started.
  void Start(uint32_t now_ms);
  // Milliseconds left for the next request at the tick count `now_ms`: the
  // full statistics limit before the stop; once stopped, what is left of the
  // shared limit (0 when it is used up). A stop seen in `stop_signalled`
  // before Start was called starts the limit now. Tick counts may wrap.
  uint32_t LeftMs(bool stop_signalled, uint32_t now_ms);

 private:
  // The tick count of the stop; 0 until then (a stop at tick 0 counts as 1).
  std::atomic<uint32_t> start_ms_{0};
};

}  // namespace lite_installer

#endif  // STATS_REPORT_TIME_LIMIT_H_
