// The rules of the setup package's download attempts. No system calls.
#ifndef INSTALL_DOWNLOAD_ATTEMPTS_H_
#define INSTALL_DOWNLOAD_ATTEMPTS_H_

#include <cstdint>

namespace lite_installer {

constexpr int kMaxDownloadAttempts = 5;
constexpr uint32_t kPauseBetweenAttemptsMs = 15000;
// Added to every download time-left estimate for the installation that follows.
constexpr int kInstallationAllowanceSeconds = 240;

// After a failed attempt: true when the bytes kept are less than a tenth of
// the body's length, so that the next attempt starts again from byte 0
// rather than resuming. Nothing is restarted while the length is unknown (0).
bool ShouldRestartDownload(uint64_t kept_bytes, uint64_t content_length);

}  // namespace lite_installer

#endif  // INSTALL_DOWNLOAD_ATTEMPTS_H_
