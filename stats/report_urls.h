// The request URLs of the statistics endpoints: status and completion
// reports, milestone counters and click reports. Pure text building: every
// value is percent-encoded here (PercentEncode), so no value can change the
// URL's path, query or fragment; callers pass raw texts.
#ifndef STATS_REPORT_URLS_H_
#define STATS_REPORT_URLS_H_

#include <cstdint>
#include <map>
#include <string>

namespace lite_installer {

// Path of the status and completion reports on the status host (https).
extern const wchar_t kStatusReportPath[];
// Text standing for an identifier that the copy does not have.
extern const wchar_t kMissingCounterValue[];

// One download attempt as the status report tells it.
struct StatusReportValues {
  bool success = false;
  int attempt = 0;     // 1-based; 0 leaves the parameter out
  int downloaded = 0;  // bytes in the download file after the attempt
  std::wstring install_guid;
  std::wstring url;            // empty leaves "url" out
  std::wstring redirect_host;  // empty leaves "redirect" out
  std::wstring error_text;     // empty leaves "error" out
};

// "https://" + host + "/get/browser/install?status=...&attempt=...&downloaded=
// ...&ui=...[&url=...][&redirect=...][&error=...]", the texts encoded.
std::wstring StatusReportUrl(const std::wstring& status_host, const StatusReportValues& values);

enum class CompletionResult { kSuccess, kFailed, kCancelled };

// The completion report. Durations are in microseconds and are written in
// whole seconds (truncated, as signed 32-bit numbers); "download_time" and
// "install_time" appear only when their duration is not 0.
std::wstring CompletionReportUrl(const std::wstring& status_host, const std::wstring& install_guid,
                                 CompletionResult result, int64_t total_time_us,
                                 int64_t download_time_us, int64_t install_time_us);

// Whole seconds of a microsecond duration, truncated toward zero.
int32_t MicrosecondsToSeconds(int64_t microseconds);

// The identifiers a milestone counter carries; narrow texts, empty when
// missing (written as kMissingCounterValue).
struct CounterIds {
  std::string brand_id;
  std::string partner_id;
  std::string banerid;
  std::string stored_ui;
  std::string distr_korvexuid;
  std::string korvexuid;
};

// The identifiers of a copy: its brand's and partner's, the stored
// identifier, and the distribution parameters "banerid", "distr_korvexuid"
// and "korvexuid" (empty when absent).
CounterIds CopyCounterIds(const std::string& brand_id, const std::string& partner_id,
                          const std::string& stored_ui,
                          const std::map<std::string, std::string>& distrib_params);

// "http://" + host + "/jclck/dtype=stred/pid=457/" + counter_path + ".brand
// .partner.banerid.stored_ui.distr_korvexuid.korvexuid/*". `counter_path` is
// the installer's own text and is kept; each identifier is encoded.
std::wstring CounterUrl(const std::wstring& click_host, const std::wstring& counter_path,
                        const CounterIds& ids);

// "http://" + host + "/redir/dtype=stred/pid=457/cid=72696/path=kvbrowser_
// reinstall_dialog&dialog_window=liteinstall&" + name + "=" + value, the
// name and the value (a link address, for one) encoded.
std::wstring ClickStatUrl(const std::wstring& click_host, const std::wstring& name,
                          const std::wstring& value);

}  // namespace lite_installer

#endif  // STATS_REPORT_URLS_H_
