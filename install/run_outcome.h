// How one run of the controller ends, and the one table that turns that end
// into the process exit code and the result of Installer::InstallBrowser. No
// system calls.
#ifndef INSTALL_RUN_OUTCOME_H_
#define INSTALL_RUN_OUTCOME_H_

#include <cstdint>

namespace lite_installer {

// Results of Installer::GetModule and Installer::DownloadModuleTo.
constexpr int kModuleReady = 0;
// No temporary file for the download, or the file cannot be opened for writing.
constexpr int kModuleNoFile = 1;
// Empty setup address, every attempt failed, or the run was stopped.
constexpr int kModuleNotDownloaded = 2;

// Results of Installer::InstallBrowser, also handed to the observer's OnError.
constexpr int kInstallSucceeded = 0;
constexpr int kInstallFailed = 1;
// The download's own result: kModuleNotDownloaded.
constexpr int kInstallNotDownloaded = kModuleNotDownloaded;

// The outcome of one step of the run; every value but kContinue ends the run
// and names where.
enum class RunOutcome {
  kContinue,               // the step succeeded: the next one runs
  kRunFilesNotReady,       // prepare: no run folder, or a handed file not written and held
  kInstalled,              // the setup ran and its exit code was obtained
  kNoTemporaryFile,        // acquire: no temporary file for the download
  kDownloadFileNotOpened,  // acquire: the temporary file cannot be written
  kNotDownloaded,          // acquire: the download did not complete
  kStopped,                // wait: stopped before the install signal, or the wait failed
  kNotTrusted,             // hold, verify, launch: the package is not held, changed, not trusted,
                           // or the process's image is not the held file
  kCommandLineTooLong,     // launch: the setup's command line passes the system's limit
  kSetupNotRun,            // launch: the setup was not started or its exit code not obtained
};

// The acquisition's outcome from GetModule's `module_result`;
// `temporary_file_obtained` tells a download file that could not be written
// from one that was never named.
RunOutcome AcquisitionOutcome(int module_result, bool temporary_file_obtained);

// The process exit code of a run that ended with `outcome`:
// `setup_exit_code` when the setup ran, otherwise the installer's own code
// (base/exit_codes.h).
int32_t ExitCodeFor(RunOutcome outcome, int32_t setup_exit_code);

// What Installer::InstallBrowser returns for `outcome`.
int InstallResultFor(RunOutcome outcome);

}  // namespace lite_installer

#endif  // INSTALL_RUN_OUTCOME_H_
