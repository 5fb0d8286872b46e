#include "install/download_progress.h"

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
    progress->OnTimeLeft(static_cast<int>(remaining_s), kTimeLeftEstimate);
  }
  *last_estimate = elapsed_ms;
}

}  // namespace lite_installer
