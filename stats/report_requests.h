// The statistics URLs with the build's hosts and the system's escaping: what
// the controller's report operations send. Windows build only.
#ifndef STATS_REPORT_REQUESTS_H_
#define STATS_REPORT_REQUESTS_H_

#include <cstdint>
#include <string>

#include "stats/report_urls.h"

namespace lite_installer {

// The status report of one download attempt on the status host:
// `redirect_url` is reduced to its host name; every text is encoded.
std::wstring BuildStatusReportUrl(bool success, const std::wstring& url, int attempt,
                                  int downloaded, const std::wstring& install_guid,
                                  const std::wstring& error_text,
                                  const std::wstring& redirect_url);

// The completion report on the status host.
std::wstring BuildCompletionReportUrl(const std::wstring& install_guid, CompletionResult result,
                                      int64_t total_time_us, int64_t download_time_us,
                                      int64_t install_time_us);

// A milestone counter on the click-statistics host.
std::wstring BuildCounterUrl(const std::wstring& counter_path, const CounterIds& ids);

// A click report on the click-statistics host.
std::wstring BuildClickStatUrl(const std::wstring& name, const std::wstring& value);

}  // namespace lite_installer

#endif  // STATS_REPORT_REQUESTS_H_
