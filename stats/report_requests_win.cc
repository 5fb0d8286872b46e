#include "stats/report_requests.h"

#include "base/build_config.h"
#include "stats/url_text.h"

namespace lite_installer {

std::wstring BuildStatusReportUrl(bool success, const std::wstring& url, int attempt,
                                  int downloaded, const std::wstring& install_guid,
                                  const std::wstring& error_text,
                                  const std::wstring& redirect_url) {
  StatusReportValues values;
  values.success = success;
  values.attempt = attempt;
  values.downloaded = downloaded;
  values.install_guid = install_guid;
  values.url = url;
  values.redirect_host = RedirectHost(redirect_url);
  values.error_text = error_text;
  return StatusReportUrl(StatusHost(), values);
}

std::wstring BuildCompletionReportUrl(const std::wstring& install_guid, CompletionResult result,
                                      int64_t total_time_us, int64_t download_time_us,
                                      int64_t install_time_us) {
  return CompletionReportUrl(StatusHost(), install_guid, result, total_time_us, download_time_us,
                             install_time_us);
}

std::wstring BuildCounterUrl(const std::wstring& counter_path, const CounterIds& ids) {
  return CounterUrl(ClickStatsHost(), counter_path, ids);
}

std::wstring BuildClickStatUrl(const std::wstring& name, const std::wstring& value) {
  return ClickStatUrl(ClickStatsHost(), name, value);
}

}  // namespace lite_installer
