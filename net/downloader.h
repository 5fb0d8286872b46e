// HTTP GET over asynchronous WinINet: one request per Downloader, its body
// passed chunk by chunk to a DownloadSink, with time limits, a stop event
// that ends even a blocked request at once, redirects followed by the
// downloader itself (never from https to http), and resumption that only
// ever continues the same package. Windows build only.
#ifndef NET_DOWNLOADER_H_
#define NET_DOWNLOADER_H_

#include <windows.h>

#include <cstdint>
#include <string>

#include "net/download_limits.h"
#include "net/download_progress.h"
#include "net/download_sink.h"
#include "net/file_sink.h"
#include "net/resume_rules.h"
#include "net/wininet_api.h"
#include "base/unique_handle.h"

namespace lite_installer {

using ScopedInternetHandle = UniqueHandle<InternetHandleTraits>;

// Bytes taken at most per read; one buffer of this size per download.
constexpr uint32_t kDownloadChunkBytes = 32768;
// Redirects followed for one request before it fails.
constexpr int kMaxRedirects = 10;

// The user agent of every request.
extern const wchar_t kDownloadUserAgent[];

// `step` followed by the calling thread's last error code in unsigned
// decimal, e.g. "internet_read-12031".
std::wstring ErrorTextWithLastError(const std::wstring& step);

// What WinINet's threads write while an operation of one request is pending:
// the status callback records the completion here and signals `completed`.
// A stop or a time limit that leaves an operation pending abandons the state
// (it is never freed), because the system may still complete the operation
// into its buffer later.
struct PendingState;

// One GET request. Only the first error is kept (error_text); once it is
// set, nothing more is read.
class Downloader {
 public:
  // `stop_event` (may be null) ends any wait at once; `limits` bound every
  // wait and, when its total is not 0, the whole request.
  Downloader(HANDLE stop_event, const RequestLimits& limits);
  Downloader(const Downloader&) = delete;
  Downloader& operator=(const Downloader&) = delete;
  ~Downloader();

  // Sends the request for `url` and reads its headers, following redirects.
  // The connection (handshake included) must be made within the connect
  // limit; headers past kAnswerHeadersLimitBytes, or headers without end
  // (see net/answer_guard.h), fail the request. When the sink already holds
  // bytes and `identity` (may be null) remembers their package, asks for the
  // rest (with If-Range when a validator is known); a 200 then starts the
  // sink again from 0 unless `only_rest`, where it is refused. `identity` is
  // updated from the first answer. Returns false when no answer could be
  // obtained (error_text says why, empty on a stop); true otherwise, also
  // when the answer was refused (error_text set, and the following
  // ReadChunk returns 0).
  bool OpenDownload(const wchar_t* url, DownloadSink* sink, PackageIdentity* identity,
                    bool only_rest = false);

  // Reads what has arrived, up to kDownloadChunkBytes, into the sink; waits
  // at most the silence limit for a first byte. Returns the byte count; 0 at
  // the end of the body, on error or on a stop. A body that ends before or
  // runs past its announced length is an error, and so is the end of a body
  // without an announced length (ended_without_length()).
  uint32_t ReadChunk();

  // True when no error was recorded, no stop came, and the status was a
  // success (200, or 206 continuing the sink's bytes).
  bool FinalizeDownload();

  bool stopped() const { return stopped_; }
  // The body ended without an announced length: whether it is whole is not
  // known (its bytes stay in the sink).
  bool ended_without_length() const { return ended_without_length_; }

  std::wstring url;
  std::wstring error_text;
  std::wstring redirect_url;
  // Length of the whole package (for a resumed request: of the whole file,
  // not of the remaining part); 0 until known.
  uint64_t content_length = 0;
  DownloadSink* sink = nullptr;

 private:
  // Opens one request (no redirect followed). Sets `status`.
  bool SendRequest(const std::wstring& target, const std::wstring& headers, DWORD* status);
  // Waits for the pending operation; false on a stop, a time limit or a
  // failed operation (recording "<step><code>" except on a stop).
  bool WaitForCompletion(const wchar_t* step);
  // Waits for the answer to the request just sent: the connect limit until
  // the request went out, the silence limit after; shuts the connection down
  // when the process's memory grows past kAnswerMemoryAllowanceBytes while
  // headers are read. Records the error text on failure (none on a stop).
  bool WaitForAnswer();
  // False when the answer's headers exceed kAnswerHeadersLimitBytes.
  bool HeadersWithinLimit();
  // Leaves a pending operation to the system: closes the handles and gives
  // up the state it may still write into.
  void Abandon();
  void CloseRequest();
  // Closes the handles on a thread of their own (see the definition).
  void CloseInBackground();
  // The refused answer: records "final_query_info-<status>-<code>". Its
  // body is never read, so an error page can never reach the sink.
  void RefuseAnswer(DWORD status);
  // Evidence that the sink's bytes are not the package being served: the
  // sink and the remembered identity start again from nothing.
  void RestartFromZero();
  // Takes the answer to a request without Range: a 200 whose length fits.
  bool AcceptWholeAnswer(DWORD status);
  // Reads a header as text; empty when absent.
  std::wstring HeaderText(DWORD query);
  // Content-Length of the answer into `length`: false when present but not
  // a number (0 when absent or when the answer is chunked). Sets
  // length_known_ when it gave one.
  bool AnswerLength(uint64_t* length);
  bool SetLength(uint64_t length);

  const WinInetApi* api_ = nullptr;
  HANDLE stop_event_;
  RequestLimits limits_;
  DWORD start_tick_;
  PendingState* state_ = nullptr;
  ScopedInternetHandle session_;
  ScopedInternetHandle connection_;
  ScopedInternetHandle request_;
  PackageIdentity* identity_ = nullptr;
  bool stopped_ = false;
  bool resumed_ = false;
  bool answered_ = false;  // a success answer's body may be read
  bool body_complete_ = false;  // the body was read to its end
  bool length_known_ = false;   // content_length was announced
  bool ended_without_length_ = false;
  bool nothing_left_ = false;   // a 416 showed the sink already holds the whole package
};

// Downloads `url` into `sink` until the body ends, the stop event (may be
// null) is signalled, a time limit passes, or an error occurs. A stop ends
// even a blocked request at once. Reports progress when `progress` is given.
// True only when the whole body arrived with status 200 (206 when the
// sink's bytes were continued, 416 "bytes */N" when they already were the
// whole package). A body without an announced length is whole only when,
// within the same call, a request for what follows its bytes shows that the
// package ends there or gives the rest of it (with `identity` only). The outputs (each may be null) receive the
// first error text (empty on a stop), the last redirect target and the whole
// package's length. `identity` (may be null) carries what is known of the
// package from one attempt to the next.
bool DownloadToSink(const wchar_t* url, DownloadSink* sink, std::wstring* error_text,
                    std::wstring* redirect_url, uint64_t* content_length, HANDLE stop_event,
                    DownloadProgress* progress, PackageIdentity* identity = nullptr,
                    const RequestLimits& limits = kPackageRequestLimits);

// The controller's default request function (see RequestFunction in
// stats/reporter.h): resets the sink and downloads `url` into it without
// progress or stop event, within the statistics time limit. Logs the URL
// first.
bool Download(const std::wstring& url, DownloadSink* sink, std::wstring* error_text,
              std::wstring* redirect_url);

// Download with the whole request limited to `limit_ms` (at most
// kStatisticsRequestLimitMs); a limit of 0 fails at once with a time-out.
// `stop_event` (may be null) ends the request at once.
bool DownloadWithin(const std::wstring& url, DownloadSink* sink, std::wstring* error_text,
                    std::wstring* redirect_url, uint32_t limit_ms, HANDLE stop_event = nullptr);

}  // namespace lite_installer

#endif  // NET_DOWNLOADER_H_
