#include "install/run_clock.h"

#include <windows.h>

namespace lite_installer {

int64_t NowMicroseconds() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0 ||
      !QueryPerformanceCounter(&counter)) {
    return static_cast<int64_t>(GetTickCount()) * 1000;
  }
  // Split to keep counter * 1,000,000 from overflowing on long uptimes.
  const int64_t seconds = counter.QuadPart / frequency.QuadPart;
  const int64_t rest = counter.QuadPart % frequency.QuadPart;
  return seconds * 1000000 + rest * 1000000 / frequency.QuadPart;
}

}  // namespace lite_installer
