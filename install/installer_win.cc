// The controller's construction, its run around the steps
// (installer_steps_win.cc), and its coordination with the window: events,
// worker thread, stop and the wait for the browser.
#include "install/installer.h"

#include <windows.h>
#include <process.h>
#include <shlobj.h>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"
#include "base/build_config.h"
#include "base/environment.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/registry_store.h"
#include "base/run_folder.h"
#include "base/text.h"
#include "resources/resource_ids.h"

using lite_installer::kError;
using lite_installer::kInfo;
using lite_installer::kWarning;
using lite_installer::Log;

namespace {

constexpr wchar_t kBrowserMessageWindowClass[] = L"KorvexBrowser_MessageWindow";

// The path given by `switch_name`, or `default_path` after creating it new
// with the resource's bytes and holding it until the setup has ended (an
// empty file when the resource is missing). Empty when that file could not
// be created, written and held: the setup is never told of a file this run
// did not write, and the run ends before the setup starts.
std::wstring PreparedFile(const char* switch_name, const std::wstring& default_path, int resource) {
  const std::wstring given = ProcessSwitches::Current().Value(switch_name);
  if (!given.empty()) return given;
  if (!lite_installer::SaveAndHoldFile(default_path, lite_installer::LoadBinResource(resource))) {
    return std::wstring();
  }
  return default_path;
}

// The client-id file holds one GUID with its braces (38 bytes); anything
// longer than this is not read further.
constexpr size_t kStoredUiMaxBytes = 256;

// The GUID in "Korvex\ui" of the roaming application-data folder, without
// its enclosing braces; empty when there is none. A file that is longer than
// kStoredUiMaxBytes or holds anything but a GUID counts as absent, with a
// WARNING: its text goes into every counter address.
std::string ReadStoredUi() {
  const wchar_t* const kTag = lite_installer::log_tag::kInstallerConstructor;
  const std::wstring folder = GetShellFolderPath(ShellFolder::kRoamingAppData);
  if (folder.empty()) return std::string();
  const std::wstring path = folder + L"\\Korvex\\ui";
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::string();
  std::string content;
  if (!LoadSmallFile(path, kStoredUiMaxBytes, &content)) {
    Log(kWarning, kTag, __LINE__,
        L"Client id file ignored: unreadable or longer than " +
            lite_installer::ToDecimal(static_cast<uint64_t>(kStoredUiMaxBytes)) + L" bytes.");
    return std::string();
  }
  if (content.size() >= 2 && content.front() == '{' && content.back() == '}') {
    content = content.substr(1, content.size() - 2);
  }
  if (!lite_installer::IsGuidText(content)) {
    Log(kWarning, kTag, __LINE__, L"Client id file ignored: it does not hold a GUID.");
    return std::string();
  }
  return content;
}

bool IsSignalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

}  // namespace

Installer::Installer(InstallerObserver* observer, BrandPackageInfo& brand, DistribInfoParams& distrib_params)
    : observer(observer),
      brand(brand),
      distrib_params(distrib_params),
      temp_dir(brand.work_dir) {
  request_function = reporter_.NetworkRequest();
  stop_event.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  install_event.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  stored_ui = ReadStoredUi();
}

void Installer::ReportLaunch() { ReportStatisticsImpl(L"cid=72977/path=ZapuskLiteInstallera"); }

Installer::~Installer() {
  Stop();
  // The worker still uses this object (and calls the observer): a worker
  // that outlived Stop's time limit is waited for to its end, so that it
  // never touches a destroyed controller.
  if (worker_thread.IsValid() && WaitForSingleObject(worker_thread.Get(), 0) == WAIT_TIMEOUT) {
    Log(kWarning, lite_installer::log_tag::kInstallerInstallerDestructor, __LINE__, L"Waiting for the installation thread to end.");
    WaitForSingleObject(worker_thread.Get(), INFINITE);
  }
  RetryPackageDelete(true);
  RemoveRunFolder();
}

void Installer::SignalStop() { SetEvent(stop_event.Get()); }

void Installer::DeleteDownloadedPackage(const std::wstring& path) {
  if (DeleteFileW(path.c_str())) return;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND) return;
  undeleted_package_ = path;
  SetLastError(error);
  Log(kWarning, lite_installer::log_tag::kInstallerDeleteDownloadedPackage, __LINE__,
      L"The downloaded package is still in use; deleting it later: " + path);
}

bool Installer::RetryPackageDelete(bool last_chance) {
  if (undeleted_package_.empty()) return true;
  if (DeleteFileW(undeleted_package_.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) {
    Log(kInfo, lite_installer::log_tag::kInstallerRetryPackageDelete, __LINE__,
        L"Downloaded package deleted: " + undeleted_package_);
    undeleted_package_.clear();
    return true;
  }
  if (last_chance) {
    // The error record carries the system's reason (typically a process
    // that still runs the file, such as a browser started from it).
    const DWORD error = GetLastError();
    Log(kError, lite_installer::log_tag::kInstallerRetryPackageDelete, __LINE__,
        L"Cannot delete the downloaded package: " + undeleted_package_);
    // The system can still remove it at the next restart where the user
    // may ask for that (administrators only on current Windows).
    if (MoveFileExW(undeleted_package_.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
      Log(kInfo, lite_installer::log_tag::kInstallerRetryPackageDelete, __LINE__,
          L"The downloaded package will be removed at the next restart.");
    }
    SetLastError(error);
  }
  return false;
}

unsigned __stdcall Installer::WorkerThreadMain(void* installer) {
  static_cast<Installer*>(installer)->Run();
  return 0;
}

bool Installer::StartWorker() {
  ResetEvent(stop_event.Get());
  ResetEvent(install_event.Get());
  ReportLaunch();
  const uintptr_t thread = _beginthreadex(nullptr, 0, &Installer::WorkerThreadMain, this, 0, nullptr);
  if (thread == 0) {
    Log(kError, lite_installer::log_tag::kInstallerStartWorker, __LINE__, L"Cannot start the installation thread.");
    return false;
  }
  worker_thread.Reset(reinterpret_cast<HANDLE>(thread));
  return true;
}

void Installer::Stop() {
  if (!worker_thread.IsValid()) return;
  SignalStop();
  WaitForSingleObject(worker_thread.Get(), stop_wait_ms_);
}

void Installer::Run() {
  const int result = InstallBrowser();
  if (result == lite_installer::kInstallSucceeded) {
    RemoveRunValues();
  } else if (observer == nullptr) {
    ReportInstallationFinished(false);
    RemoveRunFolder();
    return;
  } else if (!IsSignalled(stop_event.Get())) {
    observer->OnError(result);
  }
  if (observer != nullptr) WaitForBrowserWindow();
  ReportInstallationFinished(result == lite_installer::kInstallSucceeded);
  // The folder goes once the package is gone; a package still running
  // keeps it until the destructor's last try.
  if (RetryPackageDelete(false)) RemoveRunFolder();
}

void Installer::RemoveRunFolder() {
  if (!lite_installer::KeepRunFolder()) lite_installer::RemoveRunFolder();
}

bool Installer::WriteSetupFiles() {
  if (temp_dir.empty()) return false;
  brand.WritePackageFiles();
  distrib_params.WriteJsonFile();
  installer_data_path = PreparedFile("installerdata", temp_dir + L"master_preferences", IDR_INITIAL_PREFERENCES);
  clids_path = PreparedFile("clids-file", temp_dir + L"clids.xml", IDR_PARTNER_IDS);
  return lite_installer::AllHandedFilesHeld() && !installer_data_path.empty() && !clids_path.empty();
}

void Installer::StoreRunValues() {
  lite_installer::StoreValueInRegistry(L"lang", lite_installer::Widen(brand.interface_language));
  lite_installer::StoreValueInRegistry(L"InstallerData", installer_data_path);
  lite_installer::StoreValueInRegistry(L"ClidsFile", clids_path);
  brand.StoreInRegistry();
}

void Installer::RemoveRunFileValues() {
  lite_installer::RemoveValueFromRegistry(L"InstallerData");
  lite_installer::RemoveValueFromRegistry(L"ClidsFile");
  lite_installer::RemoveValueFromRegistry(L"BrandFile");
  lite_installer::RemoveValueFromRegistry(L"PartnerFile");
}

void Installer::RemoveRunValues() {
  lite_installer::RemoveValueFromRegistry(L"DistribInfoParams");
  brand.RemoveFromRegistry();
  if (!brand.brand_package_path.empty()) DeleteFileW(brand.brand_package_path.c_str());
  if (!brand.partner_package_path.empty()) DeleteFileW(brand.partner_package_path.c_str());
}

void Installer::WaitForBrowserWindow() {
  for (;;) {
    if (WaitForSingleObject(stop_event.Get(), browser_window_poll_ms_) != WAIT_TIMEOUT) return;
    const bool browser_runs =
        FindWindowExW(HWND_MESSAGE, nullptr, kBrowserMessageWindowClass, nullptr) != nullptr;
    // The setup has handed over to the browser: the package it ran from is
    // usually free by now.
    RetryPackageDelete(false);
    if (!browser_runs) break;
  }
  if (observer != nullptr) observer->OnFinished();
}
