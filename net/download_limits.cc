#include "net/download_limits.h"

namespace lite_installer {

uint32_t NextWaitLimitMs(const RequestLimits& limits, uint32_t elapsed_ms) {
  if (limits.total_ms == 0) return limits.silence_ms;
  if (elapsed_ms >= limits.total_ms) return 0;
  const uint32_t left = limits.total_ms - elapsed_ms;
  return left < limits.silence_ms ? left : limits.silence_ms;
}

}  // namespace lite_installer
