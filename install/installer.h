// The controller of one installation run. Run calls InstallBrowser, which
// runs the steps in order: check the run's folder, acquire the setup package,
// hold it, wait for the install signal, write the files handed to the setup
// and store the run's values, verify the package, launch the setup; each step returns a RunOutcome, and the first that does
// not continue ends the run. The finish releases the package and the handed
// files, removes every registry value that names a run file, and sets
// `exit_code` from the outcome (run_outcome.h); Run then cleans up, waits for
// the browser, reports, and removes the run's folder.
//
// Silent road: the entry constructs it without an observer, signals
// `install_event` and calls Run on its own thread. Windowed road: the window
// constructs it with itself as observer and starts the worker thread at once
// (StartWorker), so the package downloads while the welcome screen shows.
//
// The controller has no lock: `stop_event`, `install_event` and the atomic
// `cancel_count` carry the coordination between the window and the worker.
// Windows build only.
#ifndef INSTALL_INSTALLER_H_
#define INSTALL_INSTALLER_H_

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/exit_codes.h"
#include "base/switches.h"
#include "base/unique_handle.h"
#include "install/download_attempts.h"
#include "install/installer_observer.h"
#include "install/run_outcome.h"
#include "net/download_limits.h"
#include "stats/reporter.h"

class BrandPackageInfo;
class DistribInfoParams;

namespace lite_installer {
class KorvexTrustVerifier;
}  // namespace lite_installer

class Installer {
 public:
  // Creates the two events and reads the stored identifier; writes no file
  // (WriteSetupFiles does, late in the run). `observer` may be null (silent
  // road).
  Installer(InstallerObserver* observer, BrandPackageInfo& brand, DistribInfoParams& distrib_params);
  // Stops the worker and, should it not have ended within Stop's time limit,
  // keeps waiting for it: the worker uses this object and calls the observer
  // until it ends. An observer that owns the controller must therefore
  // destroy it before anything its observer operations use (for a member:
  // declare the controller last).
  virtual ~Installer();

  Installer(const Installer&) = delete;
  Installer& operator=(const Installer&) = delete;

  // Overridable operations, the seams tests substitute, in the order the
  // steps call them.
  // Puts the setup package on the disk: the "browser-setup" switch's file, or
  // a download into a file created new in the run's folder, named in
  // `downloaded_path` as soon as it exists (the caller deletes it). kModuleReady, kModuleNoFile or
  // kModuleNotDownloaded (run_outcome.h).
  virtual int GetModule(bool use_given_path, std::wstring* module_path, std::wstring* downloaded_path);
  // True when the package may be run.
  virtual bool CheckModule(const std::wstring& module_path);
  virtual bool CheckModuleWithDescription(const std::wstring& module_path,
                                          const std::string& trusted_description, bool retry_flag);
  virtual bool CheckModuleWithVerifier(const std::wstring& module_path, lite_installer::KorvexTrustVerifier& verifier,
                                       bool flag);
  // Starts the setup with its command line and waits for it; true when its
  // exit code was obtained (it is then in `setup_exit_code_`). The process
  // is created from the held package's final path, suspended, and resumed
  // only when its image is the held file. When false, `launch_refusal_`
  // says why.
  virtual bool RunSetup(const std::wstring& module_path);

  // The body of the run, on the worker thread or on the entry's thread.
  void Run();
  // Queues the launch counter, the run's first report: the silent road
  // right after construction, StartWorker on the windowed road.
  void ReportLaunch();
  // Windowed road: resets both events, queues the launch counter and starts
  // the worker thread running Run; its handle goes to `worker_thread`. False
  // when the thread cannot be started.
  bool StartWorker();
  // Signals `stop_event` and waits at most 10 seconds for the worker, if one
  // was started. Does nothing on the silent road.
  void Stop();
  // Runs the steps and the finish: kInstallSucceeded, otherwise
  // kInstallFailed or kInstallNotDownloaded (run_outcome.h). Sets `exit_code`.
  int InstallBrowser();
  // Windowed road: waits while the browser's message window exists (at least
  // 20 seconds unless stopped), then calls OnFinished.
  void WaitForBrowserWindow();

  // Download of the setup URL into `path`: kModuleReady, kModuleNoFile (the
  // file cannot be created) or kModuleNotDownloaded (empty URL, all attempts
  // failed, or stopped). On kModuleReady `downloaded_digest_` holds the
  // digest of the bytes written, taken before the exclusive handle closed.
  int DownloadModuleTo(const std::wstring& path);

  // The setup's switch table: a copy of this process's switches with the
  // program replaced by `module_path` and the controller's switches set.
  ProcessSwitches BuildSetupCommandLine(const std::wstring& module_path);
  // Runs `command_line` (whose program is `program_path`) in the run's
  // folder and waits for it without time limit; `process_exit_code` is
  // kExitNoSetupResult until the process's own exit code is obtained. With
  // a held package, the process starts suspended and runs only when its
  // image is that file; otherwise it is ended and `launch_refusal_` is
  // kNotTrusted.
  bool RunProcessAndWait(const std::wstring& program_path, const std::wstring& command_line,
                         int32_t* process_exit_code);

  // Statistics requests, built and sent by the reporter (stats/reporter.h)
  // with the run's values; failures are logged and never change the run.
  void ReportStatus(bool success, const std::wstring& url, int attempt, int downloaded,
                    const std::wstring& error_text, const std::wstring& redirect_url);
  void ReportInstallationFinished(bool success);
  // `counter_path` such as L"cid=72977/path=ZapuskLiteInstallera".
  void ReportStatisticsImpl(const std::wstring& counter_path);
  void SendClickStat(const std::wstring& name, const std::wstring& value);
  // SendClickStat with the name "clicked_button".
  void SendButtonClickStat(const std::wstring& value);
  // SendClickStat with the name "choosen_checkbox".
  void SendCheckboxClickStat(const std::wstring& value);

  // Writes and holds the files handed to the setup, right before they are
  // needed: the brand and partner packages, "distrib_info", and the
  // "installerdata" and "clids-file" files (those the switches name are
  // used as they are; otherwise written new into the run's folder from the
  // program's resources). False when there is no run folder or any file was
  // not created, written and held by this run.
  bool WriteSetupFiles();

  // Signals `stop_event`. Owners stop the worker through it (or Stop).
  void SignalStop();

  // Deletes the downloaded package; when the system refuses (a process still
  // runs it), remembers it for RetryPackageDelete.
  void DeleteDownloadedPackage(const std::wstring& path);
  // Tries the remembered delete again. With `last_chance` a failure is
  // logged as an error with the system's reason. True when nothing is left.
  bool RetryPackageDelete(bool last_chance);

  // The worker thread's procedure: Run, then end with exit code 0.
  static unsigned __stdcall WorkerThreadMain(void* installer);

  // Fields, in this order. Owners set the three flags before the install
  // signal, signal or reset the events, increment `cancel_count` atomically,
  // and read `exit_code` after the run.
  InstallerObserver* observer;  // not owned; null on the silent road
  BrandPackageInfo& brand;
  DistribInfoParams& distrib_params;
  // Every statistics request goes through it, on the reporter thread; the
  // program's own is the reporter's NetworkRequest.
  lite_installer::RequestFunction request_function;
  bool make_default = false;
  bool install_flash = true;
  bool send_stats = false;
  std::wstring temp_dir;  // with trailing separator
  std::wstring installer_data_path;
  std::wstring clids_path;
  std::wstring install_guid;  // without braces; empty until Run
  int32_t exit_code = lite_installer::kExitNoSetupResult;  // set by InstallBrowser's finish
  lite_installer::ScopedHandle worker_thread;
  lite_installer::ScopedHandle stop_event;     // manual reset
  lite_installer::ScopedHandle install_event;  // manual reset
  volatile LONG cancel_count = 0;  // > 0 means cancelled
  int64_t total_time = 0;     // microseconds, without the wait for the install signal
  int64_t download_time = 0;  // microseconds
  int64_t install_time = 0;   // microseconds
  std::string stored_ui;

 protected:
  // The setup package, open for reading and shared for reading only from the
  // end of its download (or the check that a given one exists) until the
  // setup has ended: the file that was verified is the file that runs, and
  // a setup that reads its own file reads those bytes. The trust check reads
  // it through this handle, and the launch uses its final path.
  lite_installer::ScopedFile held_module_;
  // The SHA-256 digest of the downloaded bytes (DownloadModuleTo), compared
  // with the held file's; empty for a package that was not downloaded here.
  std::string downloaded_digest_;
  // Why RunSetup returned false: kSetupNotRun unless the line was too long
  // or the process's image was not the held package.
  lite_installer::RunOutcome launch_refusal_ = lite_installer::RunOutcome::kSetupNotRun;
  // RunSetup's output: the setup's exit code, kExitNoSetupResult until it
  // was obtained. The finish passes it on to `exit_code`.
  int32_t setup_exit_code_ = lite_installer::kExitNoSetupResult;

  // Pause between two download attempts, the period at which the wait for
  // the browser looks for its message window, and Stop's time limit. Only
  // test subclasses change them.
  DWORD pause_between_attempts_ms_ = lite_installer::kPauseBetweenAttemptsMs;
  // Time limits of each attempt to download the package.
  lite_installer::RequestLimits package_limits_ = lite_installer::kPackageRequestLimits;
  DWORD browser_window_poll_ms_ = 20000;
  DWORD stop_wait_ms_ = 10000;

 private:
  // What the steps hand along within one InstallBrowser.
  struct RunState {
    std::wstring module_path;
    std::wstring downloaded_path;  // the temporary file to delete; empty for a given package
    int64_t wait_us = 0;           // the wait for the install signal
  };
  using Step = lite_installer::RunOutcome (Installer::*)(RunState* run);

  // The steps, in the order InstallBrowser runs them.
  // Ends the run when there is no run folder; otherwise gives the run its
  // identifier.
  lite_installer::RunOutcome StartRun(RunState* run);
  lite_installer::RunOutcome AcquireModule(RunState* run);
  // A package that cannot be held fails VerifyHeldModule; a downloaded
  // package whose held bytes differ from those written ends the run here.
  lite_installer::RunOutcome HoldModule(RunState* run);
  lite_installer::RunOutcome WaitForInstallSignal(RunState* run);
  // Writes the files handed to the setup (WriteSetupFiles) and stores the
  // run's values; ends the run when a file was not written and held.
  lite_installer::RunOutcome PrepareRunFiles(RunState* run);
  lite_installer::RunOutcome VerifyHeldModule(RunState* run);
  lite_installer::RunOutcome LaunchSetup(RunState* run);
  // Releases the package and the files handed to the setup, removes the
  // registry values that name run files, deletes the download and sets
  // `exit_code` for `outcome`.
  void Finish(const RunState& run, lite_installer::RunOutcome outcome);

  // The run's work on the registry: the run's values stored with the
  // files handed to the setup; those that name run files removed at the end of every run,
  // the others (with the extracted packages) after a success.
  void StoreRunValues();
  void RemoveRunFileValues();
  // Deletes the files the run created and its folder (base/run_folder.h),
  // unless the test variant was told to keep them.
  void RemoveRunFolder();
  void RemoveRunValues();

  // The reports' view of the run and of the copy, as they stand now.
  lite_installer::RunReportValues ReportValues();
  lite_installer::CounterIds CounterIdsNow() const;

  // Sends every report on its own thread, in order; destroyed after the
  // worker ended, it waits at most kExitReportBudgetMs for the reports on the
  // way out.
  lite_installer::Reporter reporter_{request_function};
  std::wstring undeleted_package_;
};

#endif  // INSTALL_INSTALLER_H_
