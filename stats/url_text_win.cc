#include "stats/url_text.h"

#include <windows.h>
#include <wininet.h>

#include "net/wininet_api.h"

namespace lite_installer {

namespace {

// INTERNET_MAX_URL_LENGTH plus the terminating zero.
constexpr DWORD kUrlBufferChars = 2084;

}  // namespace

std::wstring RedirectHost(const std::wstring& url) {
  if (url.empty()) return std::wstring();
  const WinInetApi* wininet = LoadWinInet();
  if (wininet == nullptr) return std::wstring();
  std::wstring canonical(kUrlBufferChars, L'\0');
  DWORD length = kUrlBufferChars;
  if (!wininet->InternetCanonicalizeUrlW(url.c_str(), &canonical[0], &length, ICU_BROWSER_MODE) ||
      length == 0 || length >= kUrlBufferChars) {
    return std::wstring();
  }
  canonical.resize(length);
  std::wstring host(kUrlBufferChars, L'\0');
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = &host[0];
  parts.dwHostNameLength = kUrlBufferChars;
  if (!wininet->InternetCrackUrlW(canonical.c_str(), 0, ICU_DECODE, &parts) ||
      parts.dwHostNameLength >= kUrlBufferChars) {
    return std::wstring();
  }
  host.resize(parts.dwHostNameLength);
  return host;
}

}  // namespace lite_installer
