#include "stats/report_urls.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

TEST(StatusReportUrlTest, FailedAttemptCarriesEveryValueInOrder) {
  StatusReportValues values;
  values.success = false;
  values.attempt = 2;
  values.downloaded = 300000;
  values.install_guid = L"6B29FC40-CA47-1067-B31D-00DD010662DA";
  values.url = L"http://dl.example/setup.exe";
  values.redirect_host = L"mirror.example";
  values.error_text = L"internet_read-12031";
  EXPECT_EQ(L"https://report.example/get/browser/install?status=failed&attempt=2"
            L"&downloaded=300000&ui=6B29FC40-CA47-1067-B31D-00DD010662DA"
            L"&url=http%3A%2F%2Fdl.example%2Fsetup.exe&redirect=mirror.example"
            L"&error=internet_read-12031",
            StatusReportUrl(L"report.example", values));
}

TEST(StatusReportUrlTest, OptionalValuesAreLeftOutButTheGuidIsAlwaysThere) {
  StatusReportValues values;
  values.success = true;
  values.attempt = 0;
  values.downloaded = -1;
  EXPECT_EQ(L"https://127.0.0.1:8443/get/browser/install?status=success&downloaded=-1&ui=",
            StatusReportUrl(L"127.0.0.1:8443", values));
}

TEST(CompletionReportUrlTest, ResultAndDurationsInWholeSeconds) {
  EXPECT_EQ(L"https://r.example/get/browser/install?ui=G&result=success&time=75"
            L"&download_time=12&install_time=60",
            CompletionReportUrl(L"r.example", L"G", CompletionResult::kSuccess, 75999999,
                                12000000, 60000001));
  // Failed before the setup started: time 0, a download time, no install time.
  EXPECT_EQ(L"https://r.example/get/browser/install?ui=G&result=failed&time=0&download_time=3",
            CompletionReportUrl(L"r.example", L"G", CompletionResult::kFailed, 0, 3500000, 0));
  // A download shorter than a second still names its duration.
  EXPECT_EQ(L"https://r.example/get/browser/install?ui=&result=cancelled&time=0&download_time=0",
            CompletionReportUrl(L"r.example", L"", CompletionResult::kCancelled, 0, 999999, 0));
}

TEST(CompletionReportUrlTest, SecondsAreTruncatedTowardZeroAsSigned32Bit) {
  EXPECT_EQ(0, MicrosecondsToSeconds(999999));
  EXPECT_EQ(-1, MicrosecondsToSeconds(-1999999));
  EXPECT_EQ(2147483647, MicrosecondsToSeconds(int64_t{2147483647} * 1000000 + 999999));
}

TEST(CounterUrlTest, MissingIdentifiersAreWritten2216) {
  CounterIds ids;
  ids.brand_id = "korvex";
  EXPECT_EQ(L"http://clck.example/jclck/dtype=stred/pid=457/cid=72977/path=ZapuskLiteInstallera"
            L".korvex.2216.2216.2216.2216.2216/*",
            CounterUrl(L"clck.example", L"cid=72977/path=ZapuskLiteInstallera", ids));
}

TEST(CounterUrlTest, IdentifiersInOrderEachEncodedSoThePathKeepsItsShape) {
  CounterIds ids;
  ids.brand_id = "b-1_x.y~";
  ids.partner_id = "p&q";
  ids.banerid = "7/../../../evil/x?y=1#";
  ids.stored_ui = "{S}";
  ids.distr_korvexuid = "a b\"c\r\n";
  ids.korvexuid = "\xe9";
  EXPECT_EQ(L"http://c:81/jclck/dtype=stred/pid=457/cid=72980/path=FinishZagruzkiSetupArc"
            L".b-1_x.y~.p%26q.7%2F..%2F..%2F..%2Fevil%2Fx%3Fy%3D1%23.%7BS%7D.a%20b%22c%0D%0A.%E9/*",
            CounterUrl(L"c:81", L"cid=72980/path=FinishZagruzkiSetupArc", ids));
}

TEST(ReportUrlTest, OutsideTextsInStatusReportsAreEncoded) {
  StatusReportValues values;
  values.install_guid = L"G&x=1";
  values.url = L"http://h/a b?c=#\u00e9";
  values.redirect_host = L"m/x";
  values.error_text = L"e\r\nf";
  EXPECT_EQ(L"https://r/get/browser/install?status=failed&downloaded=0&ui=G%26x%3D1"
            L"&url=http%3A%2F%2Fh%2Fa%20b%3Fc%3D%23%C3%A9&redirect=m%2Fx&error=e%0D%0Af",
            StatusReportUrl(L"r", values));
  EXPECT_EQ(L"https://r/get/browser/install?ui=%23&result=failed&time=0",
            CompletionReportUrl(L"r", L"#", CompletionResult::kFailed, 0, 0, 0));
}

TEST(ClickStatUrlTest, ALinkAddressIsOneEncodedValue) {
  EXPECT_EQ(L"http://clck.example/redir/dtype=stred/pid=457/cid=72696/"
            L"path=kvbrowser_reinstall_dialog&dialog_window=liteinstall&"
            L"clicked_link=https%3A%2F%2Flegal.example%2Feula%3Flang%3Dru",
            ClickStatUrl(L"clck.example", L"clicked_link", L"https://legal.example/eula?lang=ru"));
  EXPECT_EQ(L"http://h/redir/dtype=stred/pid=457/cid=72696/path=kvbrowser_reinstall_dialog"
            L"&dialog_window=liteinstall&choosen_checkbox=install_flash",
            ClickStatUrl(L"h", L"choosen_checkbox", L"install_flash"));
}

}  // namespace
}  // namespace lite_installer
