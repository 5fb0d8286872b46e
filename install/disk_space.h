// The free-space test made before a windowed installation.
#ifndef INSTALL_DISK_SPACE_H_
#define INSTALL_DISK_SPACE_H_

#include <cstdint>

namespace lite_installer {

// Free bytes the browser needs on the volume it is installed to (400 MiB).
constexpr uint64_t kRequiredFreeBytes = 419430400;

// True when `free_bytes` is enough for an installation. No system calls.
inline bool IsEnoughFreeSpace(uint64_t free_bytes) { return free_bytes >= kRequiredFreeBytes; }

// True when the volume of the program-files folder (system_level) or of the
// user's local application-data folder has at least kRequiredFreeBytes free
// for the caller. Also true when the folder or its free space cannot be
// determined: the check must never block an installation by itself.
// Windows build only.
bool HasEnoughDiskSpace(bool system_level);

}  // namespace lite_installer

#endif  // INSTALL_DISK_SPACE_H_
