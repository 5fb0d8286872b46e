// The time-left estimator and formatter: the estimate is never negative, a
// report comes at most once a minute, and the formatted line never reads a
// missing argument, never outgrows its bound and shows the number it got.
#include <cstring>

#include "net/download_progress.h"
#include "tests/fuzz/fuzz_support.h"

// In time_left_text_check.cc: the window side declares names of its own.
void CheckTimeLeftText(const uint8_t* data, size_t size);

namespace {

class RecordingProgress : public lite_installer::DownloadProgress {
 public:
  void OnDownloadProgress(float fraction) override { FUZZ_CHECK(fraction >= 0.0f && fraction <= 1.0f); }
  void OnSlowDownload() override {}
  void OnTimeLeft(int seconds, int state) override {
    FUZZ_CHECK(seconds >= 0);
    FUZZ_CHECK(state == lite_installer::kTimeLeftEstimate);
    ++estimates;
  }
  int estimates = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12) return 0;
  uint32_t done, total, elapsed;
  std::memcpy(&done, data, 4);
  std::memcpy(&total, data + 4, 4);
  std::memcpy(&elapsed, data + 8, 4);
  if (done > total) std::swap(done, total);
  // The estimate reads the bytes left as a signed 32-bit count, so bodies of
  // 2 GiB and more are outside its domain (the setup package is far smaller).
  total &= 0x7FFFFFFF;
  done = done > total ? total : done;
  RecordingProgress progress;
  uint32_t last_estimate = 0;
  lite_installer::UpdateDownloadProgress(done, total, elapsed, &last_estimate, &progress);
  lite_installer::UpdateDownloadProgress(done, total, elapsed, &last_estimate, &progress);
  FUZZ_CHECK(progress.estimates <= 1);
  if (done != 0) FUZZ_CHECK(lite_installer::RemainingSeconds(done, total, elapsed) >= 0);

  CheckTimeLeftText(data, size);
  return 0;
}
