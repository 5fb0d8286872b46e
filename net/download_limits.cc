#include "net/download_limits.h"

namespace lite_installer {

uint32_t NextWaitLimitMs(const RequestLimits& limits, uint32_t elapsed_ms) {
  if (limits.total_ms == 0) return limits.silence_ms;
  if (elapsed_ms >= limits.total_ms) return 0;
  const uint32_t left = limits.total_ms - elapsed_ms;
  return left < limits.silence_ms ? left : limits.silence_ms;
}

uint32_t AnswerWaitLimitMs(const RequestLimits& limits, bool request_sent,
                           uint32_t phase_elapsed_ms, uint32_t total_elapsed_ms) {
  const uint32_t phase_ms = request_sent ? limits.silence_ms : limits.connect_ms;
  if (phase_elapsed_ms >= phase_ms) return 0;
  const uint32_t phase_left = phase_ms - phase_elapsed_ms;
  if (limits.total_ms == 0) return phase_left;
  if (total_elapsed_ms >= limits.total_ms) return 0;
  const uint32_t total_left = limits.total_ms - total_elapsed_ms;
  return total_left < phase_left ? total_left : phase_left;
}

}  // namespace lite_installer
