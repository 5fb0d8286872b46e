#include "install/download_attempts.h"

namespace lite_installer {

bool ShouldRestartDownload(uint64_t kept_bytes, uint64_t content_length) {
  // A tenth, in 64 bits: the same as length * 10 / 100 in whole numbers,
  // without a product that could wrap.
  return kept_bytes < content_length / 10;
}

}  // namespace lite_installer
