// The statistics URLs: whatever the values, each URL has the shape it has
// with plain values (same delimiters in the same places), so no value adds
// a path segment, a query pair or a fragment.
#include "base/text.h"
#include "stats/report_urls.h"
#include "tests/fuzz/fuzz_support.h"

using lite_installer::fuzz::UrlSkeleton;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> parts = lite_installer::fuzz::SplitBytes(data, size, '\x01');
  auto part = [&](size_t i) { return i < parts.size() ? parts[i] : std::string(); };
  auto wide = [&](size_t i) { return lite_installer::Utf8ToWide(part(i)); };
  auto plain = [](const std::string& value) { return value.empty() ? std::string() : std::string("x"); };

  lite_installer::CounterIds ids{part(0), part(1), part(2), part(3), part(4), part(5)};
  lite_installer::CounterIds plain_ids{plain(ids.brand_id),  plain(ids.partner_id),      plain(ids.banerid),
                                       plain(ids.stored_ui), plain(ids.distr_korvexuid), plain(ids.korvexuid)};
  const std::wstring counter_path = L"cid=72977/path=ZapuskLiteInstallera";
  FUZZ_CHECK(UrlSkeleton(lite_installer::CounterUrl(L"h", counter_path, ids)) ==
             UrlSkeleton(lite_installer::CounterUrl(L"h", counter_path, plain_ids)));

  lite_installer::StatusReportValues values;
  values.success = size % 2 == 0;
  values.attempt = static_cast<int>(size % 6);
  values.downloaded = static_cast<int>(size);
  values.install_guid = wide(6);
  values.url = wide(7);
  values.redirect_host = wide(8);
  values.error_text = wide(9);
  lite_installer::StatusReportValues plain_values = values;
  for (std::wstring* text :
       {&plain_values.install_guid, &plain_values.url, &plain_values.redirect_host, &plain_values.error_text}) {
    if (!text->empty()) *text = L"x";
  }
  FUZZ_CHECK(UrlSkeleton(lite_installer::StatusReportUrl(L"h", values)) ==
             UrlSkeleton(lite_installer::StatusReportUrl(L"h", plain_values)));
  FUZZ_CHECK(UrlSkeleton(lite_installer::CompletionReportUrl(
                 L"h", wide(6), lite_installer::CompletionResult::kFailed, 1, 2, 3)) ==
             UrlSkeleton(lite_installer::CompletionReportUrl(L"h", L"x", lite_installer::CompletionResult::kFailed,
                                                             1, 2, 3)));
  FUZZ_CHECK(UrlSkeleton(lite_installer::ClickStatUrl(L"h", L"clicked_link", wide(10))) ==
             UrlSkeleton(lite_installer::ClickStatUrl(L"h", L"clicked_link", L"x")));
  return 0;
}
