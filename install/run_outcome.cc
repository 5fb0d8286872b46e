#include "install/run_outcome.h"

#include "base/exit_codes.h"

namespace lite_installer {

namespace {

struct OutcomeRow {
  RunOutcome outcome;
  bool setup_code_passes;  // the exit code is the setup's own
  int32_t exit_code;       // otherwise this one
  int install_result;
};

constexpr OutcomeRow kOutcomeTable[] = {
    {RunOutcome::kInstalled, true, 0, kInstallSucceeded},
    {RunOutcome::kRunFilesNotReady, false, kExitRunFilesNotReady, kInstallFailed},
    {RunOutcome::kNoTemporaryFile, false, kExitNoSetupResult, kInstallFailed},
    {RunOutcome::kDownloadFileNotOpened, false, kExitNotDownloaded, kInstallFailed},
    {RunOutcome::kNotDownloaded, false, kExitNotDownloaded, kInstallNotDownloaded},
    {RunOutcome::kStopped, false, kExitNoSetupResult, kInstallFailed},
    {RunOutcome::kNotTrusted, false, kExitNotTrusted, kInstallFailed},
    {RunOutcome::kCommandLineTooLong, false, kExitSetupCommandLineTooLong, kInstallFailed},
    {RunOutcome::kSetupNotRun, false, kExitNoSetupResult, kInstallFailed},
};

// A run never ends with kContinue; should it, it has no setup result.
constexpr OutcomeRow kUnfinished = {RunOutcome::kContinue, false, kExitNoSetupResult, kInstallFailed};

const OutcomeRow& RowOf(RunOutcome outcome) {
  for (const OutcomeRow& row : kOutcomeTable) {
    if (row.outcome == outcome) return row;
  }
  return kUnfinished;
}

}  // namespace

RunOutcome AcquisitionOutcome(int module_result, bool temporary_file_obtained) {
  if (module_result == kModuleReady) return RunOutcome::kContinue;
  if (module_result == kModuleNotDownloaded) return RunOutcome::kNotDownloaded;
  return temporary_file_obtained ? RunOutcome::kDownloadFileNotOpened : RunOutcome::kNoTemporaryFile;
}

int32_t ExitCodeFor(RunOutcome outcome, int32_t setup_exit_code) {
  const OutcomeRow& row = RowOf(outcome);
  return row.setup_code_passes ? setup_exit_code : row.exit_code;
}

int InstallResultFor(RunOutcome outcome) { return RowOf(outcome).install_result; }

}  // namespace lite_installer
