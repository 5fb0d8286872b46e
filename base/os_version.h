// The running Windows version as a small class number that callers compare
// with thresholds: 3 Vista, 4 Windows 7, 6 Windows 8.1, 7 and 8 Windows 10.
#ifndef BASE_OS_VERSION_H_
#define BASE_OS_VERSION_H_

#include <cstdint>

using OsVersionClass = int32_t;

namespace lite_installer {

// Build from which Windows 10 counts as class 8.
constexpr uint32_t kWindows10Build10586 = 10586;

// Classifies a version triple. `registry_major` is CurrentMajorVersionNumber
// when the system reported major 6 and the registry holds that number, else 0:
// a registry major of 10 makes the class 7 whatever the build.
OsVersionClass ClassifyOsVersion(uint32_t major, uint32_t minor, uint32_t build,
                                 uint32_t registry_major);

}  // namespace lite_installer

// The class of the running system, computed on the first call. Windows only.
OsVersionClass GetOsVersionClass();

#endif  // BASE_OS_VERSION_H_
