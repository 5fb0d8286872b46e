// The current time in microseconds, for the run's durations. Windows only.
#ifndef INSTALL_RUN_CLOCK_H_
#define INSTALL_RUN_CLOCK_H_

#include <cstdint>

namespace lite_installer {

// A monotonic clock in microseconds; only differences are meaningful.
int64_t NowMicroseconds();

}  // namespace lite_installer

#endif  // INSTALL_RUN_CLOCK_H_
