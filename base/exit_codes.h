// Exit codes of the installer process besides the setup program's own.
#ifndef BASE_EXIT_CODES_H_
#define BASE_EXIT_CODES_H_

namespace lite_installer {

constexpr int kExitNoSetupResult = 400;
constexpr int kExitNotDownloaded = 401;
constexpr int kExitNotTrusted = 402;
constexpr int kExitNotEnoughDiskSpace = 403;
constexpr int kExitWindowClosed = 500;

}  // namespace lite_installer

#endif  // BASE_EXIT_CODES_H_
