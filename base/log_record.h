// Layout of one log record, kept apart from the file and the mutex so that it
// can be checked without a system.
#ifndef BASE_LOG_RECORD_H_
#define BASE_LOG_RECORD_H_

#include <cstdarg>
#include <cstdint>
#include <string>

#include "base/log.h"

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
// "\n", or for kError by " Last error: " and `error_text`. A record is always
// one line: control characters in the message, and inside the error text
// before its own line ending, are written escaped (EscapeControlCharacters),
// and an error text without a line ending gets "\n".
std::wstring FormatLogRecord(const LogTimestamp& utc, uint32_t thread_id, LogLevel level,
                             const wchar_t* function, int line, const std::wstring& message,
                             const std::wstring& error_text);

// Applies a swprintf format into the 1,500-character buffer (cut when longer).
// The record adds its own line ending.
std::wstring FormatLogMessage(const wchar_t* format, va_list args);

// Shows every character that could end or disturb a line, or make the text
// invalid UTF-16, as text: U+0000 to U+001F and U+007F as "\xhh"; U+0085,
// U+2028, U+2029 and every surrogate code unit that is not half of a
// high-low pair as "\uhhhh" (lower-case hexadecimal). Every other character,
// and every pair, is kept.
std::wstring EscapeControlCharacters(const std::wstring& text);

}  // namespace lite_installer

#endif  // BASE_LOG_RECORD_H_
