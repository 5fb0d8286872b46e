// The process's log sink: a set-once path and a named mutex that serialises
// writers across threads and processes. The file is opened, appended to and
// closed for every record, so other processes may read it between records.
#include <windows.h>

#include <cstdarg>
#include <cstdint>

#include "base/log.h"
#include "base/log_record.h"
#include "base/system_error_text.h"
#include "base/unique_handle.h"

namespace lite_installer {

namespace {

constexpr wchar_t kLogMutexName[] = L"3E40F524-16FA-440A-B919-B44AB355B174";
constexpr DWORD kMutexWaitMs = 1000;
constexpr wchar_t kByteOrderMark = 0xFEFF;

class LogSink {
 public:
  LogSink() {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kLogMutexName);
    if (mutex == nullptr) mutex = CreateMutexW(nullptr, FALSE, kLogMutexName);
    if (mutex == nullptr) mutex = OpenMutexW(SYNCHRONIZE, FALSE, kLogMutexName);
    mutex_.Reset(mutex);
  }

  LogSink(const LogSink&) = delete;
  LogSink& operator=(const LogSink&) = delete;

  void SetPath(const std::wstring& path) {
    if (InterlockedCompareExchange(&path_set_, 1, 0) == 0) path_ = path;
  }

  void Write(const std::wstring& record) {
    if (!mutex_.IsValid()) return;
    const DWORD wait = WaitForSingleObject(mutex_.Get(), kMutexWaitMs);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return;
    MutexLock lock(mutex_.Get());
    if (path_set_ == 0) return;
    WriteLocked(record);
  }

 private:
  // Appends the record; a new or empty file starts with a byte-order mark.
  // A file that has reached the rotation size is renamed to "<path>.old"
  // first; when the rename fails the record goes to the long file.
  void WriteLocked(const std::wstring& record) {
    ScopedFile file(OpenForAppend());
    uint64_t size = 0;
    if (!file.IsValid() || !SeekToEnd(file.Get(), &size)) return;
    if (size >= kLogRotationSizeBytes) {
      file.Close();
      MoveToOldFile();
      file.Reset(OpenForAppend());
      if (!file.IsValid() || !SeekToEnd(file.Get(), &size)) return;
    }
    std::wstring text;
    if (size == 0) text.push_back(kByteOrderMark);
    text += record;
    DWORD written = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
              &written, nullptr);
  }

  HANDLE OpenForAppend() const {
    return CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  // Moves the file pointer to the end; `size` receives the file's size.
  static bool SeekToEnd(HANDLE file, uint64_t* size) {
    LARGE_INTEGER zero = {};
    LARGE_INTEGER end = {};
    if (!SetFilePointerEx(file, zero, &end, FILE_END)) return false;
    *size = static_cast<uint64_t>(end.QuadPart);
    return true;
  }

  void MoveToOldFile() const {
    const std::wstring old_path = path_ + L".old";
    DeleteFileW(old_path.c_str());
    MoveFileW(path_.c_str(), old_path.c_str());
  }

  ScopedHandle mutex_;
  std::wstring path_;
  volatile LONG path_set_ = 0;
};

// Created during static initialisation, before wWinMain; the mutex handle is
// closed at process exit.
LogSink g_log_sink;

std::wstring BuildRecord(LogLevel level, const wchar_t* function, int line,
                         const std::wstring& message, DWORD last_error) {
  SYSTEMTIME now;
  GetSystemTime(&now);
  const LogTimestamp utc = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  const std::wstring error_text = level == kError ? SystemErrorText(last_error) : std::wstring();
  return FormatLogRecord(utc, GetCurrentThreadId(), level, function, line, message, error_text);
}

}  // namespace

void Log(LogLevel level, const wchar_t* function, int line, const std::wstring& message) {
  const DWORD last_error = GetLastError();
  g_log_sink.Write(BuildRecord(level, function, line, message, last_error));
  SetLastError(last_error);
}

void LogFormat(LogLevel level, const wchar_t* function, int line, const wchar_t* format, ...) {
  const DWORD last_error = GetLastError();
  va_list args;
  va_start(args, format);
  const std::wstring message = FormatLogMessage(format, args);
  va_end(args);
  g_log_sink.Write(BuildRecord(level, function, line, message, last_error));
  SetLastError(last_error);
}

void SetLogPath(const std::wstring& path) {
  g_log_sink.SetPath(path);
}

}  // namespace lite_installer
