// HTTP GET over WinINet: one request per Downloader, its body passed chunk by
// chunk to a DownloadSink, with resumption, progress and a stop event.
// Windows build only.
#ifndef INSTALL_DOWNLOADER_H_
#define INSTALL_DOWNLOADER_H_

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>
#include <vector>

#include "install/download_progress.h"
#include "install/download_sink.h"
#include "install/file_sink.h"
#include "installer/unique_handle.h"

namespace lite_installer {

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { InternetCloseHandle(h); }
};
using ScopedInternetHandle = UniqueHandle<InternetHandleTraits>;

// Bytes read per InternetReadFile call; one buffer of this size per download.
constexpr uint32_t kDownloadChunkBytes = 32768;

// The user agent of every request.
extern const wchar_t kDownloadUserAgent[];

// `step` followed by the calling thread's last error code in unsigned
// decimal, e.g. "internet_read-12031".
std::wstring ErrorTextWithLastError(const std::wstring& step);

// WinINet status callback installed while a request opens. On a redirect it
// stores the new URL in the std::wstring whose address is the context.
void CALLBACK InternetStatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status,
                                     LPVOID information, DWORD information_length);

// One GET request. Only the first error is kept (error_text); once it is
// set, nothing more is read.
class Downloader {
 public:
  Downloader();
  Downloader(const Downloader&) = delete;
  Downloader& operator=(const Downloader&) = delete;
  ~Downloader();

  // Opens `url`. When the sink already holds bytes (sink->total != 0) the
  // request asks for the rest of the body from that offset and accepts only
  // a 206 answer whose Content-Range starts there; any other answer records
  // "internet_set_file_pointer-<code>" and resets the sink. Returns false
  // when no request could be opened; true otherwise, also when an error was
  // recorded (the following ReadChunk then returns 0).
  bool OpenDownload(const wchar_t* url, DownloadSink* sink);

  // Reads one chunk of up to kDownloadChunkBytes into the sink. Returns the
  // byte count; 0 at the end of the body or on error. A body that ends
  // before its announced length is an error ("internet_read-12031").
  uint32_t ReadChunk();

  // True when no error was recorded and the status is 200 (206 for a
  // resumed request). On failure the sink's bytes stay for a later
  // resumption, except the body of an error status, which is dropped.
  bool FinalizeDownload();

  // Resets the sink when the response's status is not a success: an error
  // page must never become the start of a file that a later attempt
  // continues. Called whenever a download ends without success.
  void DropErrorBody();

  std::wstring url;
  std::wstring error_text;
  std::wstring redirect_url;
  // Length of the whole body (for a resumed request: of the whole file, not
  // of the remaining part); 0 until known.
  uint32_t content_length = 0;
  DownloadSink* sink = nullptr;
  ScopedInternetHandle internet_handle;
  ScopedInternetHandle request_handle;
  std::vector<char> buffer;

 private:
  // Checks the answer to a resumed request; true when it is a 206 whose
  // Content-Range starts at `offset`. Sets content_length to the length of
  // the whole body.
  bool AcceptResumedResponse(uint32_t offset);
  // Queries the Content-Length header into content_length; a failed query
  // leaves it 0.
  void QueryContentLength();
  // Status code as a number; false when the query fails.
  bool QueryStatusCode(DWORD* status);
  // The status is 200, or 206 for a resumed request.
  bool IsSuccessStatus(bool queried, DWORD status) const;

  // The request asked for the body from an offset and got a 206 for it.
  bool resumed_ = false;
};

// Downloads `url` into `sink` until the body ends, the stop event (may be
// null) is signalled, or an error occurs. The stop event is tested before
// the first chunk and between chunks, at most every 20 ms while chunks come
// faster than that; a read that blocks is not interrupted. Reports progress
// when `progress` is given. True only when the whole body arrived with status
// 200 (206 when the sink's bytes were continued). The outputs (each may be
// null) receive the first error text (empty on a stop), the last redirect
// target and the whole body's length.
bool DownloadToSink(const wchar_t* url, DownloadSink* sink, std::wstring* error_text,
                    std::wstring* redirect_url, uint32_t* content_length, HANDLE stop_event,
                    DownloadProgress* progress);

// The controller's default request function (see RequestFunction in
// install/installer.h): resets the sink and downloads
// `url` into it without progress or stop event. Logs the URL first.
bool Download(const std::wstring& url, DownloadSink* sink, std::wstring* error_text,
              std::wstring* redirect_url);

}  // namespace lite_installer

#endif  // INSTALL_DOWNLOADER_H_
