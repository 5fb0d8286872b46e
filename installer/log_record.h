// Layout of one log record, kept apart from the file and the mutex so that it
// can be checked without a system.
#ifndef INSTALLER_LOG_RECORD_H_
#define INSTALLER_LOG_RECORD_H_

#include <cstdarg>
#include <cstdint>
#include <string>

#include "installer/log.h"

namespace lite_installer {

struct LogTimestamp {
  int year;
  int month;
  int day;
  int hour;
  int minute;
  int second;
};

// Size at which the log is rotated into the ".old" file, in bytes.
constexpr uint64_t kLogRotationSizeBytes = 1048576;
// Longest formatted message, in wide characters including the terminator.
constexpr size_t kLogFormatBufferChars = 1500;

// "YYYY-MM-DD hh:mm:ss <thread> LEVEL: function (line): message" followed by
// "\n", or for kError by " Last error: " and `error_text`.
std::wstring FormatLogRecord(const LogTimestamp& utc, uint32_t thread_id, LogLevel level,
                             const wchar_t* function, int line, const std::wstring& message,
                             const std::wstring& error_text);

// Applies a swprintf format into the 1,500-character buffer (cut when longer)
// and appends "\n".
std::wstring FormatLogMessage(const wchar_t* format, va_list args);

}  // namespace lite_installer

#endif  // INSTALLER_LOG_RECORD_H_
