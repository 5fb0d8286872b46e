#include "stats/reporter.h"

#include <utility>

#include "base/log_tags.h"
#include "net/download_limits.h"
#include "net/download_sink.h"
#include "net/downloader.h"
#include "stats/report_requests.h"

namespace lite_installer {

RequestFunction Reporter::NetworkRequest() const {
  const std::shared_ptr<const ScopedHandle> cut = thread_.cut_event();
  return [cut](const std::wstring& url, DownloadSink* sink, std::wstring* error_text, std::wstring* redirect_url) {
    return DownloadWithin(url, sink, error_text, redirect_url, kStatisticsRequestLimitMs, cut->Get());
  };
}

void Reporter::Send(ReportKind kind, const std::wstring& url, const wchar_t* function, int line,
                    const wchar_t* failure_text) {
  QueuedReport report;
  report.kind = kind;
  report.url = url;
  report.function = function;
  report.line = line;
  report.failure_text = failure_text;
  // The request function as it is now: the seam tests substitute.
  report.send = [request = request_](const std::wstring& target, std::wstring* error_text) {
    StringSink sink;
    std::wstring redirect_url;
    return request && request(target, &sink, error_text, &redirect_url);
  };
  thread_.Post(std::move(report));
}

void Reporter::SendStatus(const RunReportValues& run, bool success, const std::wstring& url, int attempt,
                          int downloaded, const std::wstring& error_text, const std::wstring& redirect_url) {
  if (run.cancelled) return;
  Send(ReportKind::kRun,
       BuildStatusReportUrl(success, url, attempt, downloaded, run.install_guid, error_text, redirect_url),
       log_tag::kInstallerReportStatus, __LINE__, L"Cannot report download status: ");
}

void Reporter::SendCompletion(const RunReportValues& run, bool success, const CounterIds& ids) {
  CompletionResult result = CompletionResult::kFailed;
  if (run.cancelled) {
    result = CompletionResult::kCancelled;
  } else if (success) {
    result = CompletionResult::kSuccess;
  }
  Send(ReportKind::kRun,
       BuildCompletionReportUrl(run.install_guid, result, run.total_time_us, run.download_time_us,
                                run.install_time_us),
       log_tag::kInstallerReportInstallationFinished, __LINE__, L"Cannot report installation status: ");
  SendCounter(L"cid=72982/path=FinishUstanovki", ids);
}

void Reporter::SendCounter(const std::wstring& counter_path, const CounterIds& ids) {
  Send(ReportKind::kRun, BuildCounterUrl(counter_path, ids), log_tag::kInstallerReportStatisticsImpl, __LINE__,
       L"Cannot report download status: ");
}

void Reporter::SendClick(const std::wstring& name, const std::wstring& value) {
  Send(ReportKind::kClick, BuildClickStatUrl(name, value), log_tag::kInstallerSendClickStat, __LINE__,
       L"Cannot send click stat: ");
}

void Reporter::SendButtonClick(const std::wstring& value) { SendClick(L"clicked_button", value); }

void Reporter::SendCheckboxClick(const std::wstring& value) { SendClick(L"choosen_checkbox", value); }

}  // namespace lite_installer
