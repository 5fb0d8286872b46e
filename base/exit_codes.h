// Exit codes of the installer process besides the setup program's own.
#ifndef BASE_EXIT_CODES_H_
#define BASE_EXIT_CODES_H_

namespace lite_installer {

constexpr int kExitNoSetupResult = 400;
constexpr int kExitNotDownloaded = 401;
constexpr int kExitNotTrusted = 402;
constexpr int kExitNotEnoughDiskSpace = 403;
// The run's folder, or a file to hand to the setup, could not be created new,
// written and held: the setup is never handed a file this run did not write.
constexpr int kExitRunFilesNotReady = 404;
// The setup's command line would pass the system's limit: no setup runs
// with a cut line.
constexpr int kExitSetupCommandLineTooLong = 405;
constexpr int kExitWindowClosed = 500;

}  // namespace lite_installer

#endif  // BASE_EXIT_CODES_H_
