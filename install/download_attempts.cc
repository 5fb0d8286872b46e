#include "install/download_attempts.h"

namespace lite_installer {

bool ShouldRestartDownload(uint32_t kept_bytes, uint32_t content_length) {
  // 64-bit arithmetic: a length of more than 429,496,729 bytes would wrap a
  // 32-bit product and give a wrong threshold.
  const uint64_t threshold = static_cast<uint64_t>(content_length) * 10 / 100;
  return kept_bytes < threshold;
}

}  // namespace lite_installer
