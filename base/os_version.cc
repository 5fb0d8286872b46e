#include "base/os_version.h"

namespace lite_installer {

OsVersionClass ClassifyOsVersion(uint32_t major, uint32_t minor, uint32_t build,
                                 uint32_t registry_major) {
  if (major == 6 && registry_major == 10) return 7;
  if (major < 5) return 0;
  if (major == 5) return minor == 0 ? 0 : (minor == 1 ? 1 : 2);
  if (major == 6) {
    if (minor == 0) return 3;
    if (minor == 1) return 4;
    if (minor == 2) return 5;
    return 6;
  }
  if (major == 10) return build < kWindows10Build10586 ? 7 : 8;
  return 9;
}

}  // namespace lite_installer
