// URL texts made with the system's URL functions. Windows build only.
#ifndef STATS_URL_TEXT_H_
#define STATS_URL_TEXT_H_

#include <string>

namespace lite_installer {

// `text` escaped as one path segment (UrlEscapeW, URL_ESCAPE_SEGMENT_ONLY);
// empty for an empty text or when the system cannot escape it.
std::wstring Escape(const std::wstring& text);

// The host name of `url` after canonicalisation (InternetCanonicalizeUrlW,
// then InternetCrackUrlW); empty for an empty url, when either call fails,
// or when WinINet cannot be loaded.
std::wstring RedirectHost(const std::wstring& url);

}  // namespace lite_installer

#endif  // STATS_URL_TEXT_H_
