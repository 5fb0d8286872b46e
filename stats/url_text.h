// The host of a redirect address, through WinINet's URL functions. Windows
// build only.
#ifndef STATS_URL_TEXT_H_
#define STATS_URL_TEXT_H_

#include <string>

namespace lite_installer {

// The host name of `url` after canonicalisation (InternetCanonicalizeUrlW,
// then InternetCrackUrlW); empty for an empty url, when either call fails,
// or when WinINet cannot be loaded.
std::wstring RedirectHost(const std::wstring& url);

}  // namespace lite_installer

#endif  // STATS_URL_TEXT_H_
