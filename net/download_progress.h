// Progress of one download and the estimate of the time it still needs.
// No system calls: the estimator takes the elapsed time as a number.
#ifndef NET_DOWNLOAD_PROGRESS_H_
#define NET_DOWNLOAD_PROGRESS_H_

#include <cstdint>

namespace lite_installer {

// Time-left states passed to OnTimeLeft.
enum TimeLeftState {
  kTimeLeftUnknown = 0,    // download started, seconds is -1
  kTimeLeftEstimate = 1,   // seconds is an estimate
  kTimeLeftLessThan = 2,   // seconds is an upper bound (0 when complete)
};

// Receives the progress of a download. Called on the downloading thread.
class DownloadProgress {
 public:
  virtual ~DownloadProgress() = default;
  // Fraction of the body received, 0.0 to 1.0.
  virtual void OnDownloadProgress(float fraction) = 0;
  // The download will take more than two minutes in all.
  virtual void OnSlowDownload() = 0;
  // Seconds still needed, with one of the TimeLeftState values.
  virtual void OnTimeLeft(int seconds, int state) = 0;
};

// A time-left estimate is made at most once per this many milliseconds.
constexpr uint32_t kTimeLeftIntervalMs = 60000;
// A download whose elapsed plus remaining time exceeds this is slow.
constexpr int64_t kSlowDownloadSeconds = 120;

// Time-left estimates are clamped to this, so that any length a server
// announces gives a sane figure that an int holds with room to spare.
constexpr int64_t kTimeLeftLimitSeconds = 99 * 3600;

// Reports `done` of `total` bytes to `progress` (may be null) after a chunk.
// Nothing happens while `total` is 0. Once `elapsed_ms` (since the start of
// the current attempt) is at least a minute past `last_estimate`, it also
// reports the remaining time (and a slow download when elapsed + remaining
// exceeds two minutes) and sets `last_estimate` to `elapsed_ms`.
void UpdateDownloadProgress(uint64_t done, uint64_t total, uint32_t elapsed_ms,
                            uint32_t* last_estimate, DownloadProgress* progress);

// Seconds still needed for `total - done` bytes at the rate of `done` bytes
// in `elapsed_ms`, truncated, in 0 to kTimeLeftLimitSeconds (0 when more
// than `total` arrived). `done` must not be 0.
int64_t RemainingSeconds(uint64_t done, uint64_t total, uint32_t elapsed_ms);

}  // namespace lite_installer

#endif  // NET_DOWNLOAD_PROGRESS_H_
