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
#include "base/run_folder.h"
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

// Names tried for the package file in the run's folder before giving up.
constexpr int kPackageNameAttempts = 16;

// `path` made absolute against the current folder, whatever its length;
// empty when it is empty or cannot be resolved.
std::wstring FullPath(const std::wstring& path) {
  if (path.empty()) return std::wstring();
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
  if (length == 0 || length >= needed) return std::wstring();
  full.resize(length);
  return full;
}

// Creates a new empty file "kb<n>.tmp" in `folder` (never one that exists)
// and returns its path; empty when none could be made.
std::wstring CreatePackageFile(const std::wstring& folder) {
  if (folder.empty()) return std::wstring();
  for (int attempt = 1; attempt <= kPackageNameAttempts; ++attempt) {
    const std::wstring path = folder + L"kb" + lite_installer::ToHexLower(static_cast<uint32_t>(attempt)) + L".tmp";
    lite_installer::ScopedFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.IsValid()) return path;
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return std::wstring();
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

  *module_path = CreatePackageFile(temp_dir);
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
  downloaded_digest_.clear();
  // Exclusive until closed: its bytes are digested through it at the end.
  lite_installer::ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
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
      if (!lite_installer::FileDigest(file.Get(), &downloaded_digest_)) {
        Log(kError, kFunction, __LINE__, L"Cannot read back the downloaded package: " + path);
        return lite_installer::kModuleNotDownloaded;
      }
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
