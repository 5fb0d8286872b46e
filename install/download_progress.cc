#include "install/download_progress.h"

#include <cstdint>

namespace lite_installer {

int64_t RemainingSeconds(uint32_t done, uint32_t total, uint32_t elapsed_ms) {
  // (total - done) is taken as a signed 32-bit count: more bytes than
  // announced give a negative estimate rather than a huge one.
  const int64_t left = static_cast<int32_t>(total - done);
  const int64_t remaining_ms = left * static_cast<int64_t>(elapsed_ms) / done;
  return remaining_ms / 1000;
}

void UpdateDownloadProgress(uint32_t done, uint32_t total, uint32_t elapsed_ms,
                            uint32_t* last_estimate, DownloadProgress* progress) {
  if (total == 0) return;
  if (progress != nullptr) {
    progress->OnDownloadProgress(static_cast<float>(done) / static_cast<float>(total));
  }
  if (done == 0 || elapsed_ms - *last_estimate < kTimeLeftIntervalMs) return;
  const int64_t remaining_s = RemainingSeconds(done, total, elapsed_ms);
  if (progress != nullptr) {
    if (elapsed_ms / 1000 + remaining_s > kSlowDownloadSeconds) progress->OnSlowDownload();
    // A trickle (one byte in a minute of a large body) gives an estimate past
    // what an int holds; it is shown as the largest one instead of wrapping.
    const int seconds = remaining_s > INT32_MAX ? INT32_MAX : static_cast<int>(remaining_s);
    progress->OnTimeLeft(seconds, kTimeLeftEstimate);
  }
  *last_estimate = elapsed_ms;
}

}  // namespace lite_installer
