// The run's statistics reports: the status report of each download attempt,
// the completion report, milestone counters and click reports. The reporter
// builds each address on the caller's thread and hands it to its one
// reporter thread (stats/reporter_thread.h), which sends them as GETs
// through the request function in call order; a failure is logged under the
// report's own tag and changes nothing else. No call waits on the network.
// Windows build only.
#ifndef STATS_REPORTER_H_
#define STATS_REPORTER_H_

#include <cstdint>
#include <functional>
#include <string>

#include "stats/report_urls.h"
#include "stats/reporter_thread.h"

namespace lite_installer {

class DownloadSink;

// One statistics request: GET `url` into `sink`; the error text and the last
// redirect target go to the outputs that are given (each may be null). True
// when the whole body arrived with status 200.
using RequestFunction = std::function<bool(const std::wstring& url, DownloadSink* sink,
                                           std::wstring* error_text, std::wstring* redirect_url)>;

// What the reports carry of the run, as it stands when a report is made.
struct RunReportValues {
  std::wstring install_guid;  // without braces; may be empty
  bool cancelled = false;     // the user cancelled the run
  int64_t total_time_us = 0;
  int64_t download_time_us = 0;
  int64_t install_time_us = 0;
};

class Reporter {
 public:
  // Every report goes through `request` as it is when the report is made;
  // `request` must outlive the reporter. An empty function fails every
  // report. Destruction is the exit of the reporter thread: it waits at most
  // kExitReportBudgetMs for the reports still to send.
  explicit Reporter(const RequestFunction& request) : request_(request) {}

  Reporter(const Reporter&) = delete;
  Reporter& operator=(const Reporter&) = delete;

  // The request the program sends reports with: WinINet within the
  // statistics time limit, ended at once when the exit's budget is spent.
  RequestFunction NetworkRequest() const;

  // The status report of one download attempt (see StatusReportValues);
  // nothing once the run is cancelled. `redirect_url` is reduced to its host.
  void SendStatus(const RunReportValues& run, bool success, const std::wstring& url, int attempt,
                  int downloaded, const std::wstring& error_text, const std::wstring& redirect_url);
  // The completion report (cancelled, otherwise success or failed), then the
  // run's last counter "cid=72982/path=FinishUstanovki" with `ids`.
  void SendCompletion(const RunReportValues& run, bool success, const CounterIds& ids);
  // A milestone counter; `counter_path` such as L"cid=72977/path=ZapuskLiteInstallera".
  void SendCounter(const std::wstring& counter_path, const CounterIds& ids);
  // A click report of control `name` with `value`.
  void SendClick(const std::wstring& name, const std::wstring& value);
  // SendClick with the name "clicked_button".
  void SendButtonClick(const std::wstring& value);
  // SendClick with the name "choosen_checkbox".
  void SendCheckboxClick(const std::wstring& value);

 private:
  // Queues `url`; a failure to send it is logged as `failure_text` + the
  // request's error text under `function`.
  void Send(ReportKind kind, const std::wstring& url, const wchar_t* function, int line,
            const wchar_t* failure_text);

  const RequestFunction& request_;
  ReporterThread thread_;
};

}  // namespace lite_installer

#endif  // STATS_REPORTER_H_
