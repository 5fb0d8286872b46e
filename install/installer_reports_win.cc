// The controller's statistics requests: status and completion reports,
// milestone counters and click reports. Each is one GET through
// `request_function`; a failure is logged and changes nothing else.
#include <windows.h>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"
#include "net/download_sink.h"
#include "install/installer.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "stats/report_requests.h"

using lite_installer::kError;
using lite_installer::Log;

namespace {

// Sends `url`; on failure logs `failure_text` + the request's error text
// under `function`.
void SendRequest(const lite_installer::RequestFunction& request, const std::wstring& url,
                 const wchar_t* function, int line, const wchar_t* failure_text) {
  lite_installer::StringSink sink;
  std::wstring error_text;
  std::wstring redirect_url;
  if (!request || !request(url, &sink, &error_text, &redirect_url)) {
    Log(kError, function, line, failure_text + error_text);
  }
}

std::string ParamOrEmpty(const DistribInfoParams& params, const char* key) {
  std::string value;
  if (!params.Find(key, &value)) value.clear();
  return value;
}

}  // namespace

void Installer::ReportStatus(bool success, const std::wstring& url, int attempt, int downloaded,
                             const std::wstring& error_text, const std::wstring& redirect_url) {
  if (InterlockedExchangeAdd(&cancel_count, 0) > 0) return;
  const std::wstring request_url = lite_installer::BuildStatusReportUrl(
      success, url, attempt, downloaded, install_guid, error_text, redirect_url);
  SendRequest(request_function, request_url, lite_installer::log_tag::kInstallerReportStatus, __LINE__,
              L"Cannot report download status: ");
}

void Installer::ReportInstallationFinished(bool success) {
  lite_installer::CompletionResult result = lite_installer::CompletionResult::kFailed;
  if (InterlockedExchangeAdd(&cancel_count, 0) > 0) {
    result = lite_installer::CompletionResult::kCancelled;
  } else if (success) {
    result = lite_installer::CompletionResult::kSuccess;
  }
  const std::wstring request_url = lite_installer::BuildCompletionReportUrl(
      install_guid, result, total_time, download_time, install_time);
  SendRequest(request_function, request_url, lite_installer::log_tag::kInstallerReportInstallationFinished, __LINE__,
              L"Cannot report installation status: ");
  ReportStatisticsImpl(L"cid=72982/path=FinishUstanovki");
}

void Installer::ReportStatisticsImpl(const std::wstring& counter_path) {
  lite_installer::CounterIds ids;
  ids.brand_id = brand.brand_id;
  ids.partner_id = brand.partner_id;
  ids.banerid = ParamOrEmpty(distrib_params, "banerid");
  ids.stored_ui = stored_ui;
  ids.distr_korvexuid = ParamOrEmpty(distrib_params, "distr_korvexuid");
  ids.korvexuid = ParamOrEmpty(distrib_params, "korvexuid");
  SendRequest(request_function, lite_installer::BuildCounterUrl(counter_path, ids),
              lite_installer::log_tag::kInstallerReportStatisticsImpl, __LINE__, L"Cannot report download status: ");
}

void Installer::SendClickStat(const std::wstring& name, const std::wstring& value) {
  SendRequest(request_function, lite_installer::BuildClickStatUrl(name, value),
              lite_installer::log_tag::kInstallerSendClickStat, __LINE__, L"Cannot send click stat: ");
}

void Installer::SendButtonClickStat(const std::wstring& value) { SendClickStat(L"clicked_button", value); }

void Installer::SendCheckboxClickStat(const std::wstring& value) {
  SendClickStat(L"choosen_checkbox", value);
}
