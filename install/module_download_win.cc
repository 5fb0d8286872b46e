// Acquisition of the setup package: a package named on the command line, or
// a download of the brand's setup URL with retries and resumption.
#include <windows.h>

#include "brand/brand_package_info.h"
#include "install/download_attempts.h"
#include "net/downloader.h"
#include "install/installer.h"
#include "install/run_clock.h"
#include "install/run_outcome.h"
#include "base/build_config.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/text.h"

using lite_installer::kError;
using lite_installer::kInfo;
using lite_installer::Log;

namespace {

// Forwards a download's progress to the observer (which may be null), with
// the installation's allowance added to every time-left estimate.
class ObserverProgress : public lite_installer::DownloadProgress {
 public:
  explicit ObserverProgress(InstallerObserver* observer) : observer_(observer) {}

  void OnDownloadProgress(float fraction) override {
    if (observer_ != nullptr) observer_->OnDownloadProgress(fraction);
  }
  void OnSlowDownload() override {
    if (observer_ != nullptr) observer_->OnSlowDownload();
  }
  void OnTimeLeft(int seconds, int state) override {
    if (observer_ != nullptr) {
      observer_->OnTimeLeft(seconds + lite_installer::kInstallationAllowanceSeconds, state);
    }
  }

 private:
  InstallerObserver* observer_;
};

// `path` made absolute against the current folder; empty when it is empty or
// cannot be resolved.
std::wstring FullPath(const std::wstring& path) {
  if (path.empty()) return std::wstring();
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(full, length);
}

}  // namespace

int Installer::GetModule(bool use_given_path, std::wstring* module_path, std::wstring* downloaded_path) {
  constexpr const wchar_t* kFunction = lite_installer::log_tag::kInstallerGetModule;
  if (!use_given_path) {
    // Resolved once: the same full path is checked for existence, verified
    // and launched, whatever the current folder is later.
    *module_path = FullPath(ProcessSwitches::Current().Value("browser-setup"));
    Log(kInfo, kFunction, __LINE__, L"Pre-downloaded module: " + *module_path);
  }
  if (!module_path->empty() && GetFileAttributesW(module_path->c_str()) != INVALID_FILE_ATTRIBUTES) {
    return lite_installer::kModuleReady;
  }

  module_path->clear();
  if (!temp_dir.empty()) {
    wchar_t name[MAX_PATH] = {};
    if (GetTempFileNameW(temp_dir.c_str(), L"kb", 0, name) != 0) *module_path = name;
  }
  if (module_path->empty()) {
    Log(kError, kFunction, __LINE__, L"Cannot obtain temp file.");
    return lite_installer::kModuleNoFile;
  }
  Log(kInfo, kFunction, __LINE__, L"Executable path: " + *module_path);
  *downloaded_path = *module_path;

  const int64_t start_us = lite_installer::NowMicroseconds();
  const int result = DownloadModuleTo(*module_path);
  download_time = lite_installer::NowMicroseconds() - start_us;
  if (result != lite_installer::kModuleReady) {
    Log(kError, kFunction, __LINE__, L"Module was not downloaded: " + *module_path);
    return result;
  }
  Log(kInfo, kFunction, __LINE__, L"Module downloaded: " + *module_path);
  return lite_installer::kModuleReady;
}

int Installer::DownloadModuleTo(const std::wstring& path) {
  constexpr const wchar_t* kFunction = lite_installer::log_tag::kInstallerDownloadModuleTo;
  lite_installer::ScopedFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) {
    Log(kError, kFunction, __LINE__, L"Cannot create file:" + path);
    return lite_installer::kModuleNoFile;
  }
  Log(kInfo, kFunction, __LINE__, L"Try to download module:" + path);
  lite_installer::FileSink sink(file.Get());

  if (brand.setup_url.empty()) {
    Log(kError, kFunction, __LINE__, L"Setup url is empty.");
    return lite_installer::kModuleNotDownloaded;
  }
  const std::wstring url = lite_installer::SetupDownloadUrl(lite_installer::Widen(brand.setup_url));
  ObserverProgress progress(observer);
  ReportStatisticsImpl(L"cid=72978/path=StartZagruzkiSetupArc");

  // What the first answer said about the package (validator, length): a
  // later attempt continues the file only while the server still serves it.
  lite_installer::PackageIdentity identity;
  for (int attempt = 1; attempt <= lite_installer::kMaxDownloadAttempts; ++attempt) {
    if (WaitForSingleObject(stop_event.Get(), 0) == WAIT_OBJECT_0) break;
    std::wstring error_text;
    std::wstring redirect_url;
    uint64_t content_length = 0;
    const bool ok = lite_installer::DownloadToSink(url.c_str(), &sink, &error_text, &redirect_url,
                                                   &content_length, stop_event.Get(), &progress,
                                                   &identity, package_limits_);
    const uint32_t downloaded = sink.total;
    // Errors, time limits and refused answers keep the bytes; only a file
    // with less than a tenth of the package starts again from byte 0.
    if (!ok && lite_installer::ShouldRestartDownload(sink.total, content_length)) sink.Reset();
    ReportStatus(ok, url, attempt, static_cast<int>(downloaded), error_text, redirect_url);
    if (ok) {
      ReportStatisticsImpl(L"cid=72980/path=FinishZagruzkiSetupArc");
      return lite_installer::kModuleReady;
    }
    if (attempt < lite_installer::kMaxDownloadAttempts) {
      WaitForSingleObject(stop_event.Get(), pause_between_attempts_ms_);
    }
  }
  Log(kError, kFunction, __LINE__,
      L"Max download attempts failed (" +
          lite_installer::ToDecimal(static_cast<int64_t>(lite_installer::kMaxDownloadAttempts)) + L")");
  return lite_installer::kModuleNotDownloaded;
}
