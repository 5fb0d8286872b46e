#include "install/run_outcome.h"

#include <gtest/gtest.h>

#include "base/exit_codes.h"

namespace lite_installer {
namespace {

TEST(RunOutcomeTest, EveryEndHasItsExitCodeAndItsResult) {
  constexpr int32_t kSetupCode = 7;
  const struct {
    RunOutcome outcome;
    int32_t exit_code;
    int result;
  } kRows[] = {
      {RunOutcome::kInstalled, kSetupCode, kInstallSucceeded},
      {RunOutcome::kRunFilesNotReady, kExitRunFilesNotReady, kInstallFailed},
      {RunOutcome::kNoTemporaryFile, kExitNoSetupResult, kInstallFailed},
      {RunOutcome::kDownloadFileNotOpened, kExitNotDownloaded, kInstallFailed},
      {RunOutcome::kNotDownloaded, kExitNotDownloaded, kInstallNotDownloaded},
      {RunOutcome::kStopped, kExitNoSetupResult, kInstallFailed},
      {RunOutcome::kNotTrusted, kExitNotTrusted, kInstallFailed},
      {RunOutcome::kCommandLineTooLong, kExitSetupCommandLineTooLong, kInstallFailed},
      {RunOutcome::kSetupNotRun, kExitNoSetupResult, kInstallFailed},
  };
  for (const auto& row : kRows) {
    EXPECT_EQ(row.exit_code, ExitCodeFor(row.outcome, kSetupCode)) << static_cast<int>(row.outcome);
    EXPECT_EQ(row.result, InstallResultFor(row.outcome)) << static_cast<int>(row.outcome);
  }
}

TEST(RunOutcomeTest, TheAcquisitionTellsAMissingTemporaryFileFromAFailedDownload) {
  EXPECT_EQ(RunOutcome::kContinue, AcquisitionOutcome(kModuleReady, true));
  EXPECT_EQ(RunOutcome::kNoTemporaryFile, AcquisitionOutcome(kModuleNoFile, false));
  EXPECT_EQ(RunOutcome::kDownloadFileNotOpened, AcquisitionOutcome(kModuleNoFile, true));
  EXPECT_EQ(RunOutcome::kNotDownloaded, AcquisitionOutcome(kModuleNotDownloaded, true));
}

}  // namespace
}  // namespace lite_installer
