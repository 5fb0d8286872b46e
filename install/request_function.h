// The shape of one HTTP GET as the controller makes it: the statistics
// requests go through a function of this type, which tests replace.
#ifndef INSTALL_REQUEST_FUNCTION_H_
#define INSTALL_REQUEST_FUNCTION_H_

#include <functional>
#include <string>

#include "install/download_sink.h"

namespace lite_installer {

// Fetches `url` into `sink`; true when the whole body arrived with status
// 200. `error_text` and `redirect_url` (each may be null) receive the
// downloader's first error and the target of the last redirect.
using RequestFunction = std::function<bool(const std::wstring& url, DownloadSink* sink,
                                           std::wstring* error_text, std::wstring* redirect_url)>;

}  // namespace lite_installer

#endif  // INSTALL_REQUEST_FUNCTION_H_
