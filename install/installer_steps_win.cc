// The run's steps in the order InstallBrowser runs them: check the run's
// folder, acquire the setup package, hold it, wait for the install signal,
// write the files handed to the setup, verify the package, launch the setup;
// then the finish, which sets the exit code from the outcome.
#include <windows.h>
#include <objbase.h>

#include "base/exit_codes.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/run_folder.h"
#include "base/switches.h"
#include "install/installer.h"
#include "install/run_clock.h"
#include "install/run_outcome.h"

using lite_installer::kError;
using lite_installer::kInfo;
using lite_installer::Log;
using lite_installer::RunOutcome;

namespace {

// A new GUID in registry form without its braces, or empty.
std::wstring NewInstallGuid() {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) return std::wstring();
  wchar_t text[40] = {};
  if (StringFromGUID2(guid, text, 40) != 39) return std::wstring();
  return std::wstring(text + 1, 36);
}

}  // namespace

int Installer::InstallBrowser() {
  Log(kInfo, lite_installer::log_tag::kInstallerInstallBrowser, __LINE__, L"Install Browser.");
  static constexpr Step kSteps[] = {&Installer::StartRun,          &Installer::AcquireModule,
                                    &Installer::HoldModule,        &Installer::WaitForInstallSignal,
                                    &Installer::PrepareRunFiles,   &Installer::VerifyHeldModule,
                                    &Installer::LaunchSetup};
  RunState run;
  const int64_t start_us = lite_installer::NowMicroseconds();
  RunOutcome outcome = RunOutcome::kContinue;
  for (const Step step : kSteps) {
    outcome = (this->*step)(&run);
    if (outcome != RunOutcome::kContinue) break;
  }
  // The wait for the user is not the installation's time.
  if (outcome == RunOutcome::kInstalled) {
    total_time = lite_installer::NowMicroseconds() - start_us - run.wait_us;
  }
  Finish(run, outcome);
  return lite_installer::InstallResultFor(outcome);
}

RunOutcome Installer::StartRun(RunState*) {
  if (temp_dir.empty()) {
    Log(kError, lite_installer::log_tag::kInstallerInstallBrowser, __LINE__,
        L"The run has no folder of its own for its files.");
    return RunOutcome::kRunFilesNotReady;
  }
  install_guid = NewInstallGuid();
  return RunOutcome::kContinue;
}

RunOutcome Installer::AcquireModule(RunState* run) {
  const int result = GetModule(false, &run->module_path, &run->downloaded_path);
  return lite_installer::AcquisitionOutcome(result, !run->downloaded_path.empty());
}

RunOutcome Installer::HoldModule(RunState* run) {
  // From here until the setup's process exists nobody may change the
  // package; a package that cannot be held is not trusted.
  held_module_ = lite_installer::OpenHeldFile(run->module_path);
  if (!held_module_.IsValid()) {
    Log(kError, lite_installer::log_tag::kInstallerInstallBrowser, __LINE__,
        L"Cannot hold module: " + run->module_path);
    return RunOutcome::kContinue;
  }
  // Between the download's exclusive handle and this hold another process
  // could have changed the file: the held bytes must be those written.
  if (!run->downloaded_path.empty() && !downloaded_digest_.empty()) {
    std::string held_digest;
    if (!lite_installer::FileDigest(held_module_.Get(), &held_digest) || held_digest != downloaded_digest_) {
      Log(kError, lite_installer::log_tag::kInstallerInstallBrowser, __LINE__,
          L"The package changed between its download and its hold: " + run->module_path);
      return RunOutcome::kNotTrusted;
    }
  }
  return RunOutcome::kContinue;
}

RunOutcome Installer::WaitForInstallSignal(RunState* run) {
  const int64_t start_us = lite_installer::NowMicroseconds();
  // The stop event comes first: when both are signalled, stopping wins.
  HANDLE events[2] = {stop_event.Get(), install_event.Get()};
  const DWORD wait = WaitForMultipleObjects(2, events, FALSE, INFINITE);
  run->wait_us = lite_installer::NowMicroseconds() - start_us;
  if (wait != WAIT_OBJECT_0 + 1) {
    Log(kError, lite_installer::log_tag::kInstallerInstallBrowser, __LINE__,
        L"Installation after download event isn't in signal state or installation was stopped early.");
    return RunOutcome::kStopped;
  }
  return RunOutcome::kContinue;
}

RunOutcome Installer::PrepareRunFiles(RunState*) {
  if (!WriteSetupFiles()) {
    Log(kError, lite_installer::log_tag::kInstallerInstallBrowser, __LINE__,
        L"A file for the setup was not written and held by this run.");
    return RunOutcome::kRunFilesNotReady;
  }
  StoreRunValues();
  return RunOutcome::kContinue;
}

RunOutcome Installer::VerifyHeldModule(RunState* run) {
  constexpr const wchar_t* kFunction = lite_installer::log_tag::kInstallerInstallBrowser;
  if (!held_module_.IsValid() || !CheckModule(run->module_path)) {
    Log(kError, kFunction, __LINE__, L"Module verification failed: " + run->module_path);
    return RunOutcome::kNotTrusted;
  }
  Log(kInfo, kFunction, __LINE__, L"Verification succeeded: " + run->module_path);
  return RunOutcome::kContinue;
}

RunOutcome Installer::LaunchSetup(RunState* run) {
  setup_exit_code_ = lite_installer::kExitNoSetupResult;
  const int64_t start_us = lite_installer::NowMicroseconds();
  launch_refusal_ = RunOutcome::kSetupNotRun;
  if (!RunSetup(run->module_path)) return launch_refusal_;
  install_time = lite_installer::NowMicroseconds() - start_us;
  if (ProcessSwitches::Current().Has("do-not-launch-browser") && observer != nullptr) {
    observer->SetProgress(100);
    observer->OnFinished();
    observer = nullptr;
  }
  return RunOutcome::kInstalled;
}

void Installer::Finish(const RunState& run, RunOutcome outcome) {
  // The setup has ended (or never ran): nothing may point at the run's
  // files once they are no longer held.
  RemoveRunFileValues();
  held_module_.Close();
  lite_installer::ReleaseHeldFiles();
  if (!run.downloaded_path.empty()) DeleteDownloadedPackage(run.downloaded_path);
  exit_code = lite_installer::ExitCodeFor(outcome, setup_exit_code_);
}
