#include "net/download_progress.h"

#include <cstdint>

namespace lite_installer {

int64_t RemainingSeconds(uint64_t done, uint64_t total, uint32_t elapsed_ms) {
  if (total <= done) return 0;
  const uint64_t left = total - done;
  const uint64_t limit_ms = static_cast<uint64_t>(kTimeLeftLimitSeconds) * 1000;
  // left * elapsed_ms can exceed 64 bits; then the estimate is far beyond
  // the limit anyway when left / done alone says so, and otherwise the
  // division goes first (losing less than a millisecond per byte of `done`).
  uint64_t remaining_ms;
  if (elapsed_ms == 0 || left <= UINT64_MAX / elapsed_ms) {
    remaining_ms = left * elapsed_ms / done;
  } else if (left / done >= limit_ms) {
    remaining_ms = limit_ms;
  } else {
    remaining_ms = left / done * elapsed_ms + left % done * elapsed_ms / done;
  }
  if (remaining_ms > limit_ms) remaining_ms = limit_ms;
  return static_cast<int64_t>(remaining_ms / 1000);
}

void UpdateDownloadProgress(uint64_t done, uint64_t total, uint32_t elapsed_ms,
                            uint32_t* last_estimate, DownloadProgress* progress) {
  if (total == 0) return;
  if (progress != nullptr) {
    const double fraction = static_cast<double>(done) / static_cast<double>(total);
    progress->OnDownloadProgress(static_cast<float>(fraction));
  }
  if (done == 0 || elapsed_ms - *last_estimate < kTimeLeftIntervalMs) return;
  const int64_t remaining_s = RemainingSeconds(done, total, elapsed_ms);
  if (progress != nullptr) {
    if (elapsed_ms / 1000 + remaining_s > kSlowDownloadSeconds) progress->OnSlowDownload();
    // The estimate is clamped to kTimeLeftLimitSeconds, so it fits an int.
    progress->OnTimeLeft(static_cast<int>(remaining_s), kTimeLeftEstimate);
  }
  *last_estimate = elapsed_ms;
}

}  // namespace lite_installer
