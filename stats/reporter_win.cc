#include "stats/reporter.h"

#include "base/log.h"
#include "base/log_tags.h"
#include "net/download_sink.h"
#include "stats/report_requests.h"

namespace lite_installer {

void Reporter::Send(const std::wstring& url, const wchar_t* function, int line,
                    const wchar_t* failure_text) const {
  StringSink sink;
  std::wstring error_text;
  std::wstring redirect_url;
  if (!request_ || !request_(url, &sink, &error_text, &redirect_url)) {
    Log(kError, function, line, failure_text + error_text);
  }
}

void Reporter::SendStatus(const RunReportValues& run, bool success, const std::wstring& url, int attempt,
                          int downloaded, const std::wstring& error_text,
                          const std::wstring& redirect_url) const {
  if (run.cancelled) return;
  Send(BuildStatusReportUrl(success, url, attempt, downloaded, run.install_guid, error_text, redirect_url),
       log_tag::kInstallerReportStatus, __LINE__, L"Cannot report download status: ");
}

void Reporter::SendCompletion(const RunReportValues& run, bool success, const CounterIds& ids) const {
  CompletionResult result = CompletionResult::kFailed;
  if (run.cancelled) {
    result = CompletionResult::kCancelled;
  } else if (success) {
    result = CompletionResult::kSuccess;
  }
  Send(BuildCompletionReportUrl(run.install_guid, result, run.total_time_us, run.download_time_us,
                                run.install_time_us),
       log_tag::kInstallerReportInstallationFinished, __LINE__, L"Cannot report installation status: ");
  SendCounter(L"cid=72982/path=FinishUstanovki", ids);
}

void Reporter::SendCounter(const std::wstring& counter_path, const CounterIds& ids) const {
  Send(BuildCounterUrl(counter_path, ids), log_tag::kInstallerReportStatisticsImpl, __LINE__,
       L"Cannot report download status: ");
}

void Reporter::SendClick(const std::wstring& name, const std::wstring& value) const {
  Send(BuildClickStatUrl(name, value), log_tag::kInstallerSendClickStat, __LINE__,
       L"Cannot send click stat: ");
}

void Reporter::SendButtonClick(const std::wstring& value) const { SendClick(L"clicked_button", value); }

void Reporter::SendCheckboxClick(const std::wstring& value) const { SendClick(L"choosen_checkbox", value); }

}  // namespace lite_installer
