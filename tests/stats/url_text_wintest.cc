#include "stats/url_text.h"

#include <gtest/gtest.h>

#include "stats/report_requests.h"

namespace lite_installer {
namespace {

TEST(UrlTextTest, RedirectHostIsTheCanonicalHostName) {
  EXPECT_EQ(L"", RedirectHost(L""));
  EXPECT_EQ(L"mirror.example", RedirectHost(L"http://mirror.example/pkg/setup.exe"));
  EXPECT_EQ(L"127.0.0.1", RedirectHost(L"https://127.0.0.1:8443/x?y=1"));
  EXPECT_EQ(L"user.example", RedirectHost(L"http://u:p@user.example/a/../b"));
  EXPECT_EQ(L"", RedirectHost(L"not a url"));
}

TEST(ReportRequestsTest, StatusReportEscapesTheUrlAndReducesTheRedirectToItsHost) {
  const std::wstring url = BuildStatusReportUrl(
      false, L"http://dl.example/setup.exe", 2, 300000, L"GUID", L"internet_read-12031",
      L"http://mirror.example:81/pkg/setup.exe?sig=1");
  EXPECT_NE(std::wstring::npos,
            url.find(L"/get/browser/install?status=failed&attempt=2&downloaded=300000&ui=GUID"
                     L"&url=http%3A%2F%2Fdl.example%2Fsetup.exe&redirect=mirror.example"
                     L"&error=internet_read-12031"))
      << url;
  EXPECT_EQ(0u, url.find(L"https://"));
  const std::wstring plain =
      BuildStatusReportUrl(true, L"http://dl.example/setup.exe", 1, 5, L"G", L"", L"");
  EXPECT_EQ(std::wstring::npos, plain.find(L"&redirect=")) << plain;
  EXPECT_EQ(std::wstring::npos, plain.find(L"&error=")) << plain;
}

}  // namespace
}  // namespace lite_installer
