#include "install/downloader.h"

#include "install/content_range.h"
#include "installer/log.h"
#include "installer/text.h"

namespace lite_installer {

const wchar_t kDownloadUserAgent[] = L"Korvex.Browser lite installer";

namespace {

const wchar_t kOpenTag[] = L"lite_installer::Downloader::OpenDownload";
const wchar_t kReadTag[] = L"lite_installer::Downloader::ReadChunk";
const wchar_t kFinalizeTag[] = L"lite_installer::Downloader::FinalizeDownload";

// Between two tests of the stop event while chunks keep arriving.
constexpr DWORD kStopTestIntervalMs = 20;

// Status of a response that continues a body from a requested offset.
constexpr DWORD kHttpPartialContent = 206;

}  // namespace

std::wstring ErrorTextWithLastError(const std::wstring& step) {
  const DWORD code = GetLastError();
  return step + ToDecimal(static_cast<uint64_t>(code));
}

void CALLBACK InternetStatusCallback(HINTERNET /*handle*/, DWORD_PTR context, DWORD status,
                                     LPVOID information, DWORD /*information_length*/) {
  if (status != INTERNET_STATUS_REDIRECT || context == 0 || information == nullptr) return;
  *reinterpret_cast<std::wstring*>(context) = static_cast<const wchar_t*>(information);
}

Downloader::Downloader() : buffer(kDownloadChunkBytes, 0) {}

Downloader::~Downloader() {
  // The buffer goes first, then the request, then the session it belongs to.
  std::vector<char>().swap(buffer);
  request_handle.Close();
  internet_handle.Close();
}

bool Downloader::OpenDownload(const wchar_t* url_text, DownloadSink* target) {
  url.clear();
  error_text.clear();
  redirect_url.clear();
  content_length = 0;
  resumed_ = false;
  request_handle.Close();
  internet_handle.Close();

  internet_handle.Reset(
      InternetOpenW(kDownloadUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!internet_handle.IsValid()) {
    error_text = ErrorTextWithLastError(L"internet_open-");
    return false;
  }
  if (InternetSetStatusCallbackW(internet_handle.Get(), InternetStatusCallback) ==
      INTERNET_INVALID_STATUS_CALLBACK) {
    Log(kError, kOpenTag, __LINE__, L"SetStatusCallback failed");
  }

  // A sink that already holds bytes continues where it stopped: the server is
  // asked for the rest of the body only.
  const uint32_t offset = target->total;
  std::wstring headers = L"Accept: */*";
  if (offset != 0) {
    headers += L"\r\nRange: bytes=" + ToDecimal(static_cast<uint64_t>(offset)) + L"-";
  }
  request_handle.Reset(InternetOpenUrlW(internet_handle.Get(), url_text, headers.c_str(),
                                        static_cast<DWORD>(-1), INTERNET_FLAG_RELOAD,
                                        reinterpret_cast<DWORD_PTR>(&redirect_url)));
  if (!request_handle.IsValid()) {
    const DWORD code = GetLastError();
    InternetSetStatusCallbackW(internet_handle.Get(), nullptr);
    SetLastError(code);
    error_text = ErrorTextWithLastError(L"internet_open_url-");
    internet_handle.Close();
    return false;
  }

  if (offset != 0 && !AcceptResumedResponse(offset)) {
    error_text = ErrorTextWithLastError(L"internet_set_file_pointer-");
    target->Reset();
  }

  // The request took a copy of the callback when it was created: it is
  // removed there too, or every read would still call it.
  InternetSetStatusCallbackW(request_handle.Get(), nullptr);
  InternetSetStatusCallbackW(internet_handle.Get(), nullptr);
  url = url_text;
  sink = target;
  Log(kInfo, kOpenTag, __LINE__, L"Connection established: " + url);
  return true;
}

bool Downloader::QueryStatusCode(DWORD* status) {
  DWORD size = sizeof(*status);
  *status = 0;
  return HttpQueryInfoW(request_handle.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                        status, &size, nullptr) != FALSE;
}

bool Downloader::AcceptResumedResponse(uint32_t offset) {
  // Only a part that starts exactly at `offset` may be appended: a body that
  // starts anywhere else would corrupt the file.
  DWORD status = 0;
  wchar_t value[128] = {};
  DWORD size = sizeof(value) - sizeof(wchar_t);
  ContentRange range;
  if (!QueryStatusCode(&status) || status != kHttpPartialContent ||
      !HttpQueryInfoW(request_handle.Get(), HTTP_QUERY_CONTENT_RANGE, value, &size, nullptr) ||
      !ParseContentRange(value, &range) || range.first != offset) {
    SetLastError(ERROR_INTERNET_INVALID_OPERATION);
    return false;
  }
  // The whole body's length keeps progress and the resumption rule in
  // proportion to the package, not to the remaining part.
  const uint64_t whole = range.complete != 0 ? range.complete : range.last + 1;
  if (whole > 0xFFFFFFFFull) {
    SetLastError(ERROR_INTERNET_INVALID_OPERATION);
    return false;
  }
  content_length = static_cast<uint32_t>(whole);
  resumed_ = true;
  return true;
}

void Downloader::QueryContentLength() {
  DWORD length = 0;
  DWORD size = sizeof(length);
  if (HttpQueryInfoW(request_handle.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                     &length, &size, nullptr)) {
    content_length = length;
  }
}

uint32_t Downloader::ReadChunk() {
  if (!error_text.empty()) return 0;
  DWORD read = 0;
  if (!InternetReadFile(request_handle.Get(), buffer.data(), kDownloadChunkBytes, &read)) {
    error_text = ErrorTextWithLastError(L"internet_read-");
    Log(kError, kReadTag, __LINE__, L"Download chunk error.");
    return 0;
  }
  if (read != 0 && !sink->Write(buffer.data(), read)) {
    error_text = ErrorTextWithLastError(L"write_file-");
    Log(kError, kReadTag, __LINE__, L"Write file error.");
    return 0;
  }
  if (content_length == 0) QueryContentLength();
  // The end of the data before the announced length means the connection
  // was lost: the system reports such an end like a complete body.
  if (read == 0 && sink->total < content_length) {
    SetLastError(ERROR_INTERNET_CONNECTION_RESET);
    error_text = ErrorTextWithLastError(L"internet_read-");
    Log(kError, kReadTag, __LINE__, L"Download chunk error.");
    return 0;
  }
  return read;
}

bool Downloader::IsSuccessStatus(bool queried, DWORD status) const {
  return queried && (status == 200 || (resumed_ && status == kHttpPartialContent));
}

void Downloader::DropErrorBody() {
  if (sink == nullptr || !request_handle.IsValid() || sink->total == 0) return;
  DWORD status = 0;
  const bool queried = QueryStatusCode(&status);
  if (!IsSuccessStatus(queried, status)) sink->Reset();
}

bool Downloader::FinalizeDownload() {
  if (!error_text.empty()) {
    DropErrorBody();
    return false;
  }
  DWORD status = 0;
  const bool queried = QueryStatusCode(&status);
  if (IsSuccessStatus(queried, status)) return true;
  error_text = ErrorTextWithLastError(L"final_query_info-" +
                                      ToDecimal(static_cast<uint64_t>(status)) + L"-");
  Log(kError, kFinalizeTag, __LINE__, L"Unsuccessful download: " + url);
  DropErrorBody();
  return false;
}

bool DownloadToSink(const wchar_t* url, DownloadSink* sink, std::wstring* error_text,
                    std::wstring* redirect_url, uint32_t* content_length, HANDLE stop_event,
                    DownloadProgress* progress) {
  Downloader downloader;
  bool result = false;
  if (downloader.OpenDownload(url, sink)) {
    if (progress != nullptr && sink->total == 0) {
      progress->OnDownloadProgress(0.0f);
      progress->OnTimeLeft(-1, kTimeLeftUnknown);
    }
    const DWORD start = GetTickCount();
    uint32_t last_estimate = 0;
    DWORD now = start;
    DWORD last_stop_test = start;
    bool stop_tested = false;
    for (;;) {
      // The stop event is tested before the first chunk and then between
      // chunks at most every kStopTestIntervalMs: each test is a round trip
      // to the system, which costs a tenth of a fast download's time when
      // made for every 32 KiB chunk.
      if (stop_event != nullptr && (!stop_tested || now - last_stop_test >= kStopTestIntervalMs)) {
        stop_tested = true;
        last_stop_test = now;
        if (WaitForSingleObject(stop_event, 0) == WAIT_OBJECT_0) {
          downloader.DropErrorBody();
          break;
        }
      }
      if (downloader.ReadChunk() != 0) {
        now = GetTickCount();
        UpdateDownloadProgress(sink->total, downloader.content_length, now - start,
                               &last_estimate, progress);
        continue;
      }
      if (downloader.FinalizeDownload()) {
        if (progress != nullptr) {
          progress->OnDownloadProgress(1.0f);
          progress->OnTimeLeft(0, kTimeLeftLessThan);
        }
        result = true;
      }
      break;
    }
  }
  if (error_text != nullptr) *error_text = downloader.error_text;
  if (redirect_url != nullptr) *redirect_url = downloader.redirect_url;
  if (content_length != nullptr) *content_length = downloader.content_length;
  return result;
}

bool Download(const std::wstring& url, DownloadSink* sink, std::wstring* error_text,
              std::wstring* redirect_url) {
  Log(kInfo, L"`anonymous namespace'::Download", __LINE__, L"Attempt to download module: " + url);
  sink->Reset();
  return DownloadToSink(url.c_str(), sink, error_text, redirect_url, nullptr, nullptr, nullptr);
}

}  // namespace lite_installer
