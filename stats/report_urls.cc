#include "stats/report_urls.h"

#include "base/percent_encoding.h"
#include "base/text.h"

namespace lite_installer {

const wchar_t kStatusReportPath[] = L"/get/browser/install";
const wchar_t kMissingCounterValue[] = L"2216";

namespace {

const wchar_t kCounterPath[] = L"/jclck/dtype=stred/pid=457/";
const wchar_t kClickPath[] =
    L"/redir/dtype=stred/pid=457/cid=72696/path=kvbrowser_reinstall_dialog"
    L"&dialog_window=liteinstall&";

std::wstring Signed(int64_t value) { return ToDecimal(value); }

std::wstring CounterValue(const std::string& value) {
  return value.empty() ? std::wstring(kMissingCounterValue) : PercentEncodeBytes(value);
}

std::string ParamOrEmpty(const std::map<std::string, std::string>& params, const char* key) {
  const auto found = params.find(key);
  return found == params.end() ? std::string() : found->second;
}

}  // namespace

std::wstring StatusReportUrl(const std::wstring& status_host, const StatusReportValues& values) {
  std::wstring url = L"https://" + status_host + kStatusReportPath;
  url += values.success ? L"?status=success" : L"?status=failed";
  if (values.attempt != 0) url += L"&attempt=" + Signed(values.attempt);
  url += L"&downloaded=" + Signed(values.downloaded);
  url += L"&ui=" + PercentEncode(values.install_guid);
  if (!values.url.empty()) url += L"&url=" + PercentEncode(values.url);
  if (!values.redirect_host.empty()) url += L"&redirect=" + PercentEncode(values.redirect_host);
  if (!values.error_text.empty()) url += L"&error=" + PercentEncode(values.error_text);
  return url;
}

int32_t MicrosecondsToSeconds(int64_t microseconds) {
  return static_cast<int32_t>(microseconds / 1000000);
}

std::wstring CompletionReportUrl(const std::wstring& status_host, const std::wstring& install_guid,
                                 CompletionResult result, int64_t total_time_us,
                                 int64_t download_time_us, int64_t install_time_us) {
  std::wstring url = L"https://" + status_host + kStatusReportPath + L"?ui=" + PercentEncode(install_guid);
  switch (result) {
    case CompletionResult::kCancelled: url += L"&result=cancelled"; break;
    case CompletionResult::kSuccess: url += L"&result=success"; break;
    case CompletionResult::kFailed: url += L"&result=failed"; break;
  }
  url += L"&time=" + Signed(MicrosecondsToSeconds(total_time_us));
  if (download_time_us != 0) {
    url += L"&download_time=" + Signed(MicrosecondsToSeconds(download_time_us));
  }
  if (install_time_us != 0) {
    url += L"&install_time=" + Signed(MicrosecondsToSeconds(install_time_us));
  }
  return url;
}

CounterIds CopyCounterIds(const std::string& brand_id, const std::string& partner_id,
                          const std::string& stored_ui,
                          const std::map<std::string, std::string>& distrib_params) {
  CounterIds ids;
  ids.brand_id = brand_id;
  ids.partner_id = partner_id;
  ids.banerid = ParamOrEmpty(distrib_params, "banerid");
  ids.stored_ui = stored_ui;
  ids.distr_korvexuid = ParamOrEmpty(distrib_params, "distr_korvexuid");
  ids.korvexuid = ParamOrEmpty(distrib_params, "korvexuid");
  return ids;
}

std::wstring CounterUrl(const std::wstring& click_host, const std::wstring& counter_path,
                        const CounterIds& ids) {
  std::wstring url = L"http://" + click_host + kCounterPath + counter_path;
  for (const std::string* value : {&ids.brand_id, &ids.partner_id, &ids.banerid, &ids.stored_ui,
                                   &ids.distr_korvexuid, &ids.korvexuid}) {
    url += L"." + CounterValue(*value);
  }
  return url + L"/*";
}

std::wstring ClickStatUrl(const std::wstring& click_host, const std::wstring& name,
                          const std::wstring& value) {
  return L"http://" + click_host + kClickPath + PercentEncode(name) + L"=" + PercentEncode(value);
}

}  // namespace lite_installer
