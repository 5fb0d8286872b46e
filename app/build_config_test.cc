// Hosts of the test variant of the installer: each build-time host can be
// replaced through an environment variable, so that tests and the demo point
// the program at servers on 127.0.0.1; the download host's variable also
// moves every setup address on the build's download host, the built-in
// brand's included. This file is never linked into the shipped program.
#include "base/build_config.h"

#include <windows.h>

#include <string>

#include "base/text.h"
#include "build_config_values.h"

namespace lite_installer {

namespace {

const wchar_t* HostFromEnvironment(const wchar_t* variable, const wchar_t* fallback,
                                   std::wstring* storage) {
  wchar_t buffer[512];
  const DWORD length = GetEnvironmentVariableW(variable, buffer, 512);
  if (length == 0 || length >= 512) return fallback;
  *storage = std::wstring(buffer, length);
  return storage->c_str();
}

}  // namespace

const wchar_t* DownloadHost() {
  static std::wstring value;
  return HostFromEnvironment(L"LITE_TEST_DOWNLOAD_HOST", LITE_DOWNLOAD_HOST, &value);
}

const wchar_t* LegalHost() {
  static std::wstring value;
  return HostFromEnvironment(L"LITE_TEST_LEGAL_HOST", LITE_LEGAL_HOST, &value);
}

const wchar_t* StatusHost() {
  static std::wstring value;
  return HostFromEnvironment(L"LITE_TEST_STATS_HOST", LITE_STATS_HOST, &value);
}

const wchar_t* ClickStatsHost() {
  static std::wstring value;
  return HostFromEnvironment(L"LITE_TEST_CLICK_STATS_HOST", LITE_CLICK_STATS_HOST, &value);
}

const wchar_t* ProductSiteStem() {
  static std::wstring value;
  return HostFromEnvironment(L"LITE_TEST_PRODUCT_SITE_STEM", LITE_PRODUCT_SITE_STEM, &value);
}

std::wstring SetupDownloadUrl(const std::wstring& setup_url) {
  return ReplaceUrlHost(setup_url, LITE_DOWNLOAD_HOST, DownloadHost());
}

bool KeepRunFolder() {
  std::wstring value;
  return std::wstring(HostFromEnvironment(L"LITE_TEST_KEEP_RUN_FOLDER", L"", &value)) == L"1";
}

}  // namespace lite_installer
