// The controller's construction, its run and its coordination with the
// window: events, worker thread, stop and the wait for the browser.
#include "install/installer.h"

#include <windows.h>
#include <objbase.h>
#include <process.h>
#include <shlobj.h>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"
#include "net/downloader.h"
#include "install/run_clock.h"
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

// The path given by `switch_name`, or `default_path` after writing the
// resource there and holding it until the setup has ended (an empty file
// when the resource is missing; a write failure is ignored: the setup then
// reports the missing file itself).
std::wstring PreparedFile(const char* switch_name, const std::wstring& default_path, int resource) {
  const std::wstring given = ProcessSwitches::Current().Value(switch_name);
  if (!given.empty()) return given;
  lite_installer::SaveAndHoldFile(default_path, lite_installer::LoadBinResource(resource));
  return default_path;
}

// The identifier in "Korvex\ui" of the roaming application-data folder,
// without its enclosing braces; empty when there is none.
std::string ReadStoredUi() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return std::string();
  }
  const std::wstring path = std::wstring(folder) + L"\\Korvex\\ui";
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::string();
  std::string content = LoadFileBytes(path);
  if (content.size() >= 2 && content.front() == '{' && content.back() == '}') {
    content = content.substr(1, content.size() - 2);
  }
  return content;
}

// A new GUID in registry form without its braces, or empty.
std::wstring NewInstallGuid() {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) return std::wstring();
  wchar_t text[40] = {};
  if (StringFromGUID2(guid, text, 40) != 39) return std::wstring();
  return std::wstring(text + 1, 36);
}

bool IsSignalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

}  // namespace

Installer::Installer(InstallerObserver* observer, BrandPackageInfo& brand, DistribInfoParams& distrib_params)
    : observer(observer),
      brand(brand),
      distrib_params(distrib_params),
      request_function([this](const std::wstring& url, lite_installer::DownloadSink* sink,
                              std::wstring* error_text, std::wstring* redirect_url) {
        return lite_installer::DownloadWithin(url, sink, error_text, redirect_url,
                                              StatisticsLimitMs());
      }),
      temp_dir(brand.work_dir) {
  installer_data_path =
      PreparedFile("installerdata", temp_dir + L"master_preferences", IDR_INITIAL_PREFERENCES);
  clids_path = PreparedFile("clids-file", temp_dir + L"clids.xml", IDR_PARTNER_IDS);
  stop_event.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  install_event.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  stored_ui = ReadStoredUi();
  ReportStatisticsImpl(L"cid=72977/path=ZapuskLiteInstallera");
}

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
}

void Installer::SignalStop() {
  // 0 marks "not stopped", so a tick count of 0 is taken as 1.
  InterlockedCompareExchange(&stop_reports_start_, static_cast<LONG>(GetTickCount() | 1), 0);
  SetEvent(stop_event.Get());
}

uint32_t Installer::StatisticsLimitMs() {
  // A request that began before the stop ends within its own limit, so
  // within one limit of the stop, like every request after it.
  LONG start = InterlockedCompareExchange(&stop_reports_start_, 0, 0);
  if (start == 0) {
    if (!IsSignalled(stop_event.Get())) return lite_installer::kStatisticsRequestLimitMs;
    // Signalled without SignalStop: the limit starts now.
    const LONG now = static_cast<LONG>(GetTickCount() | 1);
    const LONG previous = InterlockedCompareExchange(&stop_reports_start_, now, 0);
    start = previous == 0 ? now : previous;
  }
  const uint32_t elapsed = static_cast<uint32_t>(static_cast<LONG>(GetTickCount() | 1) - start);
  if (elapsed >= lite_installer::kStatisticsRequestLimitMs) return 0;
  return lite_installer::kStatisticsRequestLimitMs - elapsed;
}

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
  install_guid = NewInstallGuid();

  lite_installer::StoreValueInRegistry(L"lang", lite_installer::Widen(brand.interface_language));
  lite_installer::StoreValueInRegistry(L"InstallerData", installer_data_path);
  lite_installer::StoreValueInRegistry(L"ClidsFile", clids_path);
  brand.StoreInRegistry();

  const int result = InstallBrowser();
  if (result != 0) {
    if (observer == nullptr) {
      ReportInstallationFinished(false);
      return;
    }
    if (!IsSignalled(stop_event.Get())) observer->OnError(result);
  } else {
    lite_installer::RemoveValueFromRegistry(L"InstallerData");
    lite_installer::RemoveValueFromRegistry(L"ClidsFile");
    lite_installer::RemoveValueFromRegistry(L"DistribInfoParams");
    brand.RemoveFromRegistry();
    if (!brand.brand_package_path.empty()) DeleteFileW(brand.brand_package_path.c_str());
    if (!brand.partner_package_path.empty()) DeleteFileW(brand.partner_package_path.c_str());
  }
  if (observer != nullptr) WaitForBrowserWindow();
  ReportInstallationFinished(result == 0);
  RetryPackageDelete(false);
}

int Installer::InstallBrowser() {
  constexpr const wchar_t* kFunction = lite_installer::log_tag::kInstallerInstallBrowser;
  Log(kInfo, kFunction, __LINE__, L"Install Browser.");

  std::wstring module_path;
  std::wstring downloaded_path;
  int result = 0;
  const int64_t t0 = lite_installer::NowMicroseconds();
  result = GetModule(false, &module_path, &downloaded_path);
  if (result == 0) {
    // From here until the setup's process exists nobody may change the
    // package; a package that cannot be held is not trusted.
    held_module_ = lite_installer::OpenHeldFile(module_path);
    if (!held_module_.IsValid()) Log(kError, kFunction, __LINE__, L"Cannot hold module: " + module_path);

    const int64_t t1 = lite_installer::NowMicroseconds();
    // The stop event comes first: when both are signalled, stopping wins.
    HANDLE events[2] = {stop_event.Get(), install_event.Get()};
    const DWORD wait = WaitForMultipleObjects(2, events, FALSE, INFINITE);
    if (wait != WAIT_OBJECT_0 + 1) {
      Log(kError, kFunction, __LINE__,
          L"Installation after download event isn't in signal state or installation was stopped early.");
      result = 1;
    } else {
      const int64_t t2 = lite_installer::NowMicroseconds();
      if (!held_module_.IsValid() || !CheckModule(module_path)) {
        Log(kError, kFunction, __LINE__, L"Module verification failed: " + module_path);
        exit_code = 402;
        result = 1;
      } else {
        Log(kInfo, kFunction, __LINE__, L"Verification succeeded: " + module_path);
        const int64_t t3 = lite_installer::NowMicroseconds();
        if (!RunSetup(module_path)) {
          result = 1;
        } else {
          const int64_t now = lite_installer::NowMicroseconds();
          install_time = now - t3;
          if (ProcessSwitches::Current().Has("do-not-launch-browser") && observer != nullptr) {
            observer->SetProgress(100);
            observer->OnFinished();
            observer = nullptr;
          }
          total_time = (t1 - t0) + (lite_installer::NowMicroseconds() - t2);
        }
      }
    }
  }
  // The setup has ended (or never ran): the files handed to it stay, no
  // longer held.
  held_module_.Close();
  lite_installer::ReleaseHeldFiles();
  if (!downloaded_path.empty()) DeleteDownloadedPackage(downloaded_path);
  return result;
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
