#include "net/downloader.h"

#include "net/answer_guard.h"
#include "net/content_range.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/text.h"

namespace lite_installer {

const wchar_t kDownloadUserAgent[] = L"Korvex.Browser lite installer";

struct PendingState {
  // Manual reset; set by the status callback when a pending operation
  // completes, and reset by the wait that sees it. Operations that complete
  // at once signal nothing, so it is clear whenever none is pending.
  ScopedHandle completed;
  volatile DWORD result = 0;
  volatile DWORD error = 0;
  // Set by the status callback once the request went out: the connection
  // and its handshake are done, the answer is awaited.
  volatile LONG request_sent = 0;
  volatile LONG abandoned = 0;
  uint16_t port = 0;             // the server's, to find the connection
  AnswerConnection connection;   // found when the request went out
  INTERNET_BUFFERSW read_buffers = {};
  char buffer[kDownloadChunkBytes] = {};
};

namespace {

constexpr const wchar_t* kOpenTag = log_tag::kDownloaderOpenDownload;
constexpr const wchar_t* kReadTag = log_tag::kDownloaderReadChunk;
constexpr const wchar_t* kFinalizeTag = log_tag::kDownloaderFinalizeDownload;

// Between two tests of the stop event while chunks keep arriving at once
// (a pending read waits on the stop event itself).
constexpr DWORD kStopTestIntervalMs = 20;
// WinINet's own receive and send limits are set this much above ours, so
// that ours always ends a silent wait first: when WinINet's fires, Wine ends
// the body as if it were complete.
constexpr DWORD kSystemTimeoutMarginMs = 5000;
// INTERNET_MAX_URL_LENGTH plus the terminating zero.
constexpr DWORD kUrlChars = 2084;
constexpr DWORD kHostChars = 256;

constexpr DWORD kHttpOk = 200;
constexpr DWORD kHttpPartialContent = 206;

// Every request bypasses and never fills the cache (Wine keeps bodies in its
// disk cache otherwise), follows no redirect by itself and shows no UI.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool IsPrintableAscii(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c <= 0x20 || c > 0x7E) return false;
  }
  return true;
}

bool HasScheme(const std::wstring& url, const wchar_t* scheme) {
  const size_t length = wcslen(scheme);
  return url.size() > length && _wcsnicmp(url.c_str(), scheme, length) == 0;
}

// WinINet calls this on its own threads. Only the request going out and the
// completion of an operation matter: every other notice is ignored without
// touching the state, which may already be gone for a handle being closed.
void CALLBACK InternetStatusCallback(HINTERNET /*handle*/, DWORD_PTR context, DWORD status,
                                     LPVOID information, DWORD /*information_length*/) {
  if (context == 0) return;
  PendingState* state = reinterpret_cast<PendingState*>(context);
  if (status == INTERNET_STATUS_REQUEST_SENT) {
    // The connection is still the request's own here, before any of the
    // answer is read: the guard finds it now.
    if (InterlockedExchange(&state->request_sent, 1) == 0 && state->abandoned == 0) {
      state->connection.Find(state->port);
    }
    return;
  }
  if (status != INTERNET_STATUS_REQUEST_COMPLETE || information == nullptr) return;
  const INTERNET_ASYNC_RESULT* outcome = static_cast<const INTERNET_ASYNC_RESULT*>(information);
  state->error = outcome->dwError;
  state->result = static_cast<DWORD>(outcome->dwResult);
  SetEvent(state->completed.Get());
}

// The handles of a request whose body was not read to its end.
struct HandlesToClose {
  HINTERNET request;
  HINTERNET connection;
  HINTERNET session;
};

DWORD WINAPI CloseHandlesProc(void* parameter) {
  HandlesToClose* handles = static_cast<HandlesToClose*>(parameter);
  const WinInetApi* api = LoadWinInet();
  for (HINTERNET handle : {handles->request, handles->connection, handles->session}) {
    if (handle != nullptr) api->InternetCloseHandle(handle);
  }
  delete handles;
  return 0;
}

}  // namespace

std::wstring ErrorTextWithLastError(const std::wstring& step) {
  const DWORD code = GetLastError();
  return step + ToDecimal(static_cast<uint64_t>(code));
}

Downloader::Downloader(HANDLE stop_event, const RequestLimits& limits)
    : stop_event_(stop_event), limits_(limits), start_tick_(GetTickCount()) {}

Downloader::~Downloader() {
  if (body_complete_) {
    CloseRequest();
    session_.Close();
  } else {
    CloseInBackground();
  }
  delete state_;
}

void Downloader::CloseInBackground() {
  if (request_.IsValid() && state_ != nullptr) {
    api_->InternetSetStatusCallbackW(request_.Get(), nullptr);
  }
  answered_ = false;
  if (!request_.IsValid() && !connection_.IsValid() && !session_.IsValid()) return;
  // Closing a request whose body has not ended makes Wine's WinINet read the
  // rest of it first, for as long as the server keeps sending: another
  // thread does that, so that no server can hold this one.
  HandlesToClose* handles = new HandlesToClose{request_.Get(), connection_.Get(), session_.Get()};
  // The thread runs on its own; its handle is not needed.
  const ScopedHandle thread(CreateThread(nullptr, 0, CloseHandlesProc, handles, 0, nullptr));
  if (!thread.IsValid()) {
    delete handles;
    request_.Close();
    connection_.Close();
    session_.Close();
    return;
  }
  request_.Release();
  connection_.Release();
  session_.Release();
}

void Downloader::CloseRequest() {
  if (request_.IsValid() && state_ != nullptr) {
    api_->InternetSetStatusCallbackW(request_.Get(), nullptr);
  }
  request_.Close();
  connection_.Close();
  answered_ = false;
}

void Downloader::Abandon() {
  // The state is deliberately not freed: the pending operation may still
  // write the buffer and signal the event after the handles are closed.
  if (state_ != nullptr) {
    InterlockedExchange(&state_->abandoned, 1);
    state_->connection.Forget();
  }
  state_ = nullptr;
  CloseInBackground();
}

bool Downloader::WaitForCompletion(const wchar_t* step) {
  const DWORD limit = NextWaitLimitMs(limits_, GetTickCount() - start_tick_);
  HANDLE handles[2];
  DWORD count = 0;
  // The stop event comes first, so that it wins when both are signalled.
  if (stop_event_ != nullptr) handles[count++] = stop_event_;
  handles[count++] = state_->completed.Get();
  const DWORD wait = limit == 0 ? static_cast<DWORD>(WAIT_TIMEOUT)
                                : WaitForMultipleObjects(count, handles, FALSE, limit);
  if (wait == WAIT_OBJECT_0 + count - 1) {
    ResetEvent(state_->completed.Get());
    if (state_->result != FALSE) return true;
    SetLastError(state_->error);
    error_text = ErrorTextWithLastError(step);
    return false;
  }
  Abandon();
  if (stop_event_ != nullptr && wait == WAIT_OBJECT_0) {
    stopped_ = true;
    return false;
  }
  SetLastError(ERROR_INTERNET_TIMEOUT);
  error_text = ErrorTextWithLastError(step);
  return false;
}

bool Downloader::WaitForAnswer() {
  static const wchar_t kStep[] = L"internet_open_url-";
  const DWORD begin = GetTickCount();
  DWORD phase_start = begin;
  bool sent = false;
  const size_t memory_before = ProcessMemoryBytes();
  HANDLE handles[2];
  DWORD count = 0;
  if (stop_event_ != nullptr) handles[count++] = stop_event_;
  handles[count++] = state_->completed.Get();
  for (;;) {
    const DWORD now = GetTickCount();
    if (!sent && state_->request_sent != 0) {
      sent = true;
      phase_start = now;
    }
    const DWORD left = AnswerWaitLimitMs(limits_, sent, now - phase_start, now - start_tick_);
    const DWORD wait =
        left == 0 ? static_cast<DWORD>(WAIT_TIMEOUT)
                  : WaitForMultipleObjects(count, handles, FALSE,
                                           left < kAnswerGuardIntervalMs ? left : kAnswerGuardIntervalMs);
    if (wait == WAIT_OBJECT_0 + count - 1) {
      ResetEvent(state_->completed.Get());
      if (state_->result != FALSE) {
        state_->connection.Forget();
        return true;
      }
      state_->connection.Forget();
      SetLastError(state_->error);
      error_text = ErrorTextWithLastError(kStep);
      return false;
    }
    if (stop_event_ != nullptr && wait == WAIT_OBJECT_0) {
      Abandon();
      stopped_ = true;
      return false;
    }
    if (left == 0) {
      Abandon();
      SetLastError(ERROR_INTERNET_TIMEOUT);
      error_text = ErrorTextWithLastError(kStep);
      if (!sent) Log(kError, kOpenTag, __LINE__, L"No connection within the connect limit: " + url);
      return false;
    }
    const size_t memory = ProcessMemoryBytes();
    if (sent && memory > memory_before && memory - memory_before > kAnswerMemoryAllowanceBytes) {
      // Headers without end: only the end of the connection stops the system
      // reading them.
      const bool cut = state_->connection.ShutDown();
      Abandon();
      SetLastError(ERROR_HTTP_INVALID_SERVER_RESPONSE);
      error_text = ErrorTextWithLastError(L"response_headers_too_large-");
      Log(kError, kOpenTag, __LINE__,
          std::wstring(cut ? L"The answer's headers have no end; connection shut: "
                           : L"The answer's headers have no end; its connection was not found: ") +
              url);
      return false;
    }
  }
}

bool Downloader::HeadersWithinLimit() {
  DWORD size = 0;
  if (api_->HttpQueryInfoW(request_.Get(), HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return true;
  }
  return size / sizeof(wchar_t) <= kAnswerHeadersLimitBytes;
}

std::wstring Downloader::HeaderText(DWORD query) {
  wchar_t value[kUrlChars] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  if (!api_->HttpQueryInfoW(request_.Get(), query, value, &size, nullptr)) return std::wstring();
  return std::wstring(value, size / sizeof(wchar_t));
}

bool Downloader::SendRequest(const std::wstring& target, const std::wstring& headers,
                             DWORD* status) {
  wchar_t host[kHostChars] = {};
  std::wstring path(kUrlChars, L'\0');
  std::wstring extra(kUrlChars, L'\0');
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = kHostChars;
  parts.lpszUrlPath = &path[0];
  parts.dwUrlPathLength = kUrlChars;
  parts.lpszExtraInfo = &extra[0];
  parts.dwExtraInfoLength = kUrlChars;
  if (!api_->InternetCrackUrlW(target.c_str(), 0, 0, &parts)) {
    error_text = ErrorTextWithLastError(L"internet_open_url-");
    return false;
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    SetLastError(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    error_text = ErrorTextWithLastError(L"internet_open_url-");
    return false;
  }
  path.resize(parts.dwUrlPathLength);
  extra.resize(parts.dwExtraInfoLength);
  const std::wstring object = (path.empty() ? std::wstring(L"/") : path) + extra;
  const DWORD_PTR context = reinterpret_cast<DWORD_PTR>(state_);

  connection_.Reset(api_->InternetConnectW(session_.Get(), host, parts.nPort, nullptr, nullptr,
                                           INTERNET_SERVICE_HTTP, 0, context));
  if (connection_.IsValid()) {
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
    request_.Reset(api_->HttpOpenRequestW(connection_.Get(), L"GET", object.c_str(), nullptr,
                                          nullptr, nullptr, kRequestFlags | secure, context));
  }
  if (!request_.IsValid()) {
    error_text = ErrorTextWithLastError(L"internet_open_url-");
    return false;
  }
  // Limits on the request handle: Wine ignores those of the session.
  DWORD connect_ms = limits_.connect_ms;
  DWORD io_ms = limits_.silence_ms + kSystemTimeoutMarginMs;
  api_->InternetSetOptionW(request_.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &connect_ms,
                           sizeof(connect_ms));
  api_->InternetSetOptionW(request_.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &io_ms, sizeof(io_ms));
  api_->InternetSetOptionW(request_.Get(), INTERNET_OPTION_SEND_TIMEOUT, &io_ms, sizeof(io_ms));

  ResetEvent(state_->completed.Get());
  state_->request_sent = 0;
  state_->port = parts.nPort;
  if (!api_->HttpSendRequestW(request_.Get(), headers.c_str(), static_cast<DWORD>(-1), nullptr,
                              0)) {
    if (GetLastError() != ERROR_IO_PENDING) {
      error_text = ErrorTextWithLastError(L"internet_open_url-");
      return false;
    }
    if (!WaitForAnswer()) return false;
  }
  state_->connection.Forget();
  DWORD size = sizeof(*status);
  *status = 0;
  if (!api_->HttpQueryInfoW(request_.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, status,
                            &size, nullptr)) {
    error_text = ErrorTextWithLastError(L"final_query_info-0-");
    return false;
  }
  if (!HeadersWithinLimit()) {
    SetLastError(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    error_text = ErrorTextWithLastError(L"response_headers_too_large-");
    Log(kError, kOpenTag, __LINE__, L"The answer's headers are too large: " + target);
    return false;
  }
  return true;
}

void Downloader::RefuseAnswer(DWORD status) {
  SetLastError(status == kHttpPartialContent ? static_cast<DWORD>(ERROR_INTERNET_INVALID_OPERATION)
                                             : static_cast<DWORD>(ERROR_HTTP_INVALID_SERVER_RESPONSE));
  error_text = ErrorTextWithLastError(L"final_query_info-" +
                                      ToDecimal(static_cast<uint64_t>(status)) + L"-");
  Log(kError, kFinalizeTag, __LINE__, L"Unsuccessful download: " + url);
}

void Downloader::RestartFromZero() {
  Log(kInfo, kOpenTag, __LINE__, L"The kept bytes are not this package: starting from byte 0.");
  sink->Reset();
  if (identity_ != nullptr) identity_->Clear();
  content_length = 0;
}

bool Downloader::AnswerLength(uint64_t* length) {
  *length = 0;
  const std::wstring text = HeaderText(HTTP_QUERY_CONTENT_LENGTH);
  // A chunked answer's Content-Length, if any, means nothing.
  if (text.empty() || HeaderText(HTTP_QUERY_TRANSFER_ENCODING).size() != 0) return true;
  if (!ParseContentLength(text, length)) return false;
  length_known_ = true;
  return true;
}

bool Downloader::SetLength(uint64_t length) {
  // The sink counts in 32 bits: a longer package can never be received
  // whole, and must not be mistaken for a complete one either.
  if (length > 0xFFFFFFFFull) {
    SetLastError(ERROR_FILE_TOO_LARGE);
    error_text = ErrorTextWithLastError(L"content_length_too_large-");
    Log(kError, kOpenTag, __LINE__, L"The package is longer than can be downloaded: " + url);
    return false;
  }
  content_length = length;
  return true;
}

bool Downloader::AcceptWholeAnswer(DWORD status) {
  if (status != kHttpOk) {
    RefuseAnswer(status);
    return false;
  }
  uint64_t length = 0;
  if (!AnswerLength(&length)) {
    SetLastError(ERROR_INVALID_DATA);
    error_text = ErrorTextWithLastError(L"content_length_invalid-");
    return false;
  }
  if (!SetLength(length)) return false;
  if (identity_ != nullptr) {
    identity_->validator = ChooseValidator(HeaderText(HTTP_QUERY_ETAG),
                                           HeaderText(HTTP_QUERY_LAST_MODIFIED));
    identity_->length = length;
  }
  answered_ = true;
  return true;
}

bool Downloader::OpenDownload(const wchar_t* url_text, DownloadSink* target,
                              PackageIdentity* identity, bool only_rest) {
  url = url_text;
  error_text.clear();
  redirect_url.clear();
  content_length = 0;
  sink = target;
  identity_ = identity;
  resumed_ = false;
  answered_ = false;
  length_known_ = false;
  ended_without_length_ = false;
  nothing_left_ = false;

  api_ = LoadWinInet();
  if (api_ == nullptr) {
    error_text = ErrorTextWithLastError(L"internet_open-");
    Log(kError, kOpenTag, __LINE__, L"WinINet is not available.");
    return false;
  }
  state_ = new PendingState;
  state_->completed.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  session_.Reset(api_->InternetOpenW(kDownloadUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                     nullptr, INTERNET_FLAG_ASYNC));
  if (!state_->completed.IsValid() || !session_.IsValid()) {
    error_text = ErrorTextWithLastError(L"internet_open-");
    return false;
  }
  if (api_->InternetSetStatusCallbackW(session_.Get(), InternetStatusCallback) ==
      INTERNET_INVALID_STATUS_CALLBACK) {
    // Without the callback no asynchronous operation could ever complete.
    error_text = ErrorTextWithLastError(L"internet_open-");
    Log(kError, kOpenTag, __LINE__, L"SetStatusCallback failed");
    return false;
  }

  // Bytes already in the sink are continued when the package they came from
  // is remembered: the answer must then show it is the same package (its
  // validator when the first answer had one, its total when known).
  const uint64_t offset = identity_ != nullptr ? sink->total : 0;
  std::wstring headers = L"Accept: */*";
  if (offset != 0) {
    headers += L"\r\nRange: bytes=" + ToDecimal(offset) + L"-";
    if (!identity_->validator.empty()) headers += L"\r\nIf-Range: " + identity_->validator;
  }

  std::wstring target_url = url_text;
  DWORD status = 0;
  for (int redirects = 0;; ++redirects) {
    if (!SendRequest(target_url, headers, &status)) return false;
    if (!IsRedirect(status)) break;
    const std::wstring location = HeaderText(HTTP_QUERY_LOCATION);
    std::wstring next(kUrlChars, L'\0');
    DWORD length = kUrlChars;
    if (redirects == kMaxRedirects || location.empty() ||
        !api_->InternetCombineUrlW(target_url.c_str(), location.c_str(), &next[0], &length, 0) ||
        length == 0 || length >= kUrlChars) {
      SetLastError(ERROR_HTTP_REDIRECT_FAILED);
      error_text = ErrorTextWithLastError(L"internet_open_url-");
      CloseRequest();
      return false;
    }
    next.resize(length);
    if (!IsPrintableAscii(next) ||
        !(HasScheme(next, L"http://") || HasScheme(next, L"https://"))) {
      SetLastError(ERROR_HTTP_REDIRECT_FAILED);
      error_text = ErrorTextWithLastError(L"internet_open_url-");
      CloseRequest();
      return false;
    }
    redirect_url = next;
    if (HasScheme(target_url, L"https://") && !HasScheme(next, L"https://")) {
      // Nothing that was asked for over https may come over plain http.
      SetLastError(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR);
      error_text = ErrorTextWithLastError(L"internet_open_url-");
      Log(kError, kOpenTag, __LINE__, L"Redirect from https to http refused: " + next);
      CloseRequest();
      return false;
    }
    CloseRequest();
    target_url = next;
  }

  if (offset == 0) {
    if (status == kHttpOk && sink->total != 0) RestartFromZero();
    AcceptWholeAnswer(status);
  } else {
    ResumedAnswer answer;
    answer.status = status;
    answer.content_range = HeaderText(HTTP_QUERY_CONTENT_RANGE);
    answer.etag = HeaderText(HTTP_QUERY_ETAG);
    answer.last_modified = HeaderText(HTTP_QUERY_LAST_MODIFIED);
    ResumeVerdict verdict = JudgeResumedAnswer(answer, offset, *identity_);
    // Asked only where the package ends: a whole body again proves nothing.
    if (only_rest && verdict == ResumeVerdict::kRestartWithBody) verdict = ResumeVerdict::kRejected;
    ContentRange range;
    switch (verdict) {
      case ResumeVerdict::kAppend:
        ParseContentRange(answer.content_range, &range);
        identity_->length = range.complete;
        content_length = range.complete;
        length_known_ = true;
        resumed_ = true;
        answered_ = true;
        break;
      case ResumeVerdict::kComplete:
        // The 416's own body is never read.
        identity_->length = offset;
        content_length = offset;
        length_known_ = true;
        nothing_left_ = true;
        answered_ = true;
        break;
      case ResumeVerdict::kRestartWithBody:
        RestartFromZero();
        AcceptWholeAnswer(status);
        break;
      case ResumeVerdict::kPackageChanged:
        RestartFromZero();
        SetLastError(ERROR_INTERNET_INVALID_OPERATION);
        error_text = ErrorTextWithLastError(L"internet_set_file_pointer-");
        break;
      case ResumeVerdict::kRejected:
        RefuseAnswer(status);
        break;
    }
  }
  Log(kInfo, kOpenTag, __LINE__, L"Connection established: " + url);
  return true;
}

uint32_t Downloader::ReadChunk() {
  if (!error_text.empty() || stopped_ || !answered_ || nothing_left_) return 0;
  // Chunks that are already there complete without a wait: the total limit
  // is checked here too, or a fast endless body would never end.
  if (NextWaitLimitMs(limits_, GetTickCount() - start_tick_) == 0) {
    SetLastError(ERROR_INTERNET_TIMEOUT);
    error_text = ErrorTextWithLastError(L"internet_read-");
    Log(kError, kReadTag, __LINE__, L"Download chunk error.");
    return 0;
  }
  // Takes what has arrived, up to the buffer's size, without waiting for
  // more (a read for a whole buffer would wait until it is full). When
  // nothing has arrived the read stays pending until any byte does, or the
  // body ends, and completes without data; it is then asked again. So every
  // byte that comes ends a wait.
  DWORD read = 0;
  for (;;) {
    INTERNET_BUFFERSW* buffers = &state_->read_buffers;
    *buffers = {};
    buffers->dwStructSize = sizeof(*buffers);
    buffers->lpvBuffer = state_->buffer;
    buffers->dwBufferLength = kDownloadChunkBytes;
    if (api_->InternetReadFileExW(request_.Get(), buffers, IRF_NO_WAIT,
                                  reinterpret_cast<DWORD_PTR>(state_))) {
      // Never more than the buffer holds, whatever the system answers.
      read = buffers->dwBufferLength < kDownloadChunkBytes ? buffers->dwBufferLength
                                                          : kDownloadChunkBytes;
      break;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
      error_text = ErrorTextWithLastError(L"internet_read-");
      Log(kError, kReadTag, __LINE__, L"Download chunk error.");
      return 0;
    }
    if (!WaitForCompletion(L"internet_read-")) {
      if (!stopped_) Log(kError, kReadTag, __LINE__, L"Download chunk error.");
      return 0;
    }
  }
  if (read != 0) {
    if (read > 0xFFFFFFFFu - sink->total) {
      SetLastError(ERROR_FILE_TOO_LARGE);
      error_text = ErrorTextWithLastError(L"content_length_too_large-");
      Log(kError, kReadTag, __LINE__, L"The body is longer than can be downloaded.");
      return 0;
    }
    if (!sink->Write(state_->buffer, read)) {
      error_text = ErrorTextWithLastError(L"write_file-");
      Log(kError, kReadTag, __LINE__, L"Write file error.");
      return 0;
    }
  }
  // The end of the data before the announced length means the connection
  // was lost: the system reports such an end like a complete body. More
  // bytes than announced are as wrong.
  if (content_length != 0 && (read == 0 ? sink->total != content_length
                                        : sink->total > content_length)) {
    SetLastError(ERROR_INTERNET_CONNECTION_RESET);
    error_text = ErrorTextWithLastError(L"internet_read-");
    Log(kError, kReadTag, __LINE__, L"Download chunk error.");
    return 0;
  }
  if (read == 0) {
    body_complete_ = true;
    if (!length_known_) {
      // Without an announced length the end of the data cannot tell a whole
      // body from a cut one (the system reports a chunked body cut before
      // its last chunk as ended too): not taken as whole.
      ended_without_length_ = true;
      SetLastError(ERROR_INTERNET_CONNECTION_RESET);
      error_text = ErrorTextWithLastError(L"internet_read-");
      Log(kInfo, kReadTag, __LINE__, L"The body ended without an announced length: " + url);
    }
  }
  return read;
}

bool Downloader::FinalizeDownload() {
  return error_text.empty() && !stopped_ && answered_;
}

namespace {

// Reads the open download's body to its end, testing the stop event and
// reporting progress; true when it arrived whole with a success status.
bool ReadBody(Downloader* downloader, HANDLE stop_event, DownloadProgress* progress) {
  const DWORD start = GetTickCount();
  uint32_t last_estimate = 0;
  DWORD now = start;
  DWORD last_stop_test = start;
  bool stop_tested = false;
  for (;;) {
    // Chunks that are already there complete at once; the stop event is
    // then tested at most every kStopTestIntervalMs, since each test is a
    // round trip to the system.
    if (stop_event != nullptr && (!stop_tested || now - last_stop_test >= kStopTestIntervalMs)) {
      stop_tested = true;
      last_stop_test = now;
      if (WaitForSingleObject(stop_event, 0) == WAIT_OBJECT_0) return false;
    }
    if (downloader->ReadChunk() != 0) {
      now = GetTickCount();
      UpdateDownloadProgress(downloader->sink->total, downloader->content_length, now - start,
                             &last_estimate, progress);
      continue;
    }
    if (!downloader->FinalizeDownload()) return false;
    if (progress != nullptr) {
      progress->OnDownloadProgress(1.0f);
      progress->OnTimeLeft(0, kTimeLeftLessThan);
    }
    return true;
  }
}

}  // namespace

bool DownloadToSink(const wchar_t* url, DownloadSink* sink, std::wstring* error_text,
                    std::wstring* redirect_url, uint64_t* content_length, HANDLE stop_event,
                    DownloadProgress* progress, PackageIdentity* identity,
                    const RequestLimits& limits) {
  Downloader downloader(stop_event, limits);
  bool result = false;
  if (downloader.OpenDownload(url, sink, identity) && downloader.error_text.empty()) {
    if (progress != nullptr && sink->total == 0) {
      progress->OnDownloadProgress(0.0f);
      progress->OnTimeLeft(-1, kTimeLeftUnknown);
    }
    result = ReadBody(&downloader, stop_event, progress);
  }
  std::wstring error = downloader.error_text;
  uint64_t length = downloader.content_length;
  if (!result && downloader.ended_without_length() && identity != nullptr && sink->total != 0) {
    // The body's end was not announced: one request for what follows its
    // bytes tells whether the package ends there (416), or continues (206).
    Downloader rest(stop_event, limits);
    if (rest.OpenDownload(url, sink, identity, true) && rest.error_text.empty()) {
      result = ReadBody(&rest, stop_event, progress);
    }
    error = rest.error_text;
    length = rest.content_length;
  }
  if (error_text != nullptr) *error_text = error;
  if (redirect_url != nullptr) *redirect_url = downloader.redirect_url;
  if (content_length != nullptr) *content_length = length;
  return result;
}

bool DownloadWithin(const std::wstring& url, DownloadSink* sink, std::wstring* error_text,
                    std::wstring* redirect_url, uint32_t limit_ms, HANDLE stop_event) {
  Log(kInfo, log_tag::kDownload, __LINE__, L"Attempt to download module: " + url);
  sink->Reset();
  if (limit_ms == 0) {
    SetLastError(ERROR_INTERNET_TIMEOUT);
    if (error_text != nullptr) *error_text = ErrorTextWithLastError(L"internet_open_url-");
    if (redirect_url != nullptr) redirect_url->clear();
    return false;
  }
  RequestLimits limits = kStatisticsRequestLimits;
  if (limit_ms < limits.total_ms) limits.total_ms = limit_ms;
  if (limits.silence_ms > limits.total_ms) limits.silence_ms = limits.total_ms;
  if (limits.connect_ms > limits.total_ms) limits.connect_ms = limits.total_ms;
  return DownloadToSink(url.c_str(), sink, error_text, redirect_url, nullptr, stop_event, nullptr,
                        nullptr, limits);
}

bool Download(const std::wstring& url, DownloadSink* sink, std::wstring* error_text,
              std::wstring* redirect_url) {
  return DownloadWithin(url, sink, error_text, redirect_url, kStatisticsRequestLimitMs);
}

}  // namespace lite_installer
