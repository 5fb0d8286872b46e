#include "installer/log_record.h"

#include <cwchar>

#include "installer/text.h"

namespace lite_installer {

namespace {

void AppendTwoDigits(std::wstring& out, int value) {
  out.push_back(static_cast<wchar_t>(L'0' + (value / 10) % 10));
  out.push_back(static_cast<wchar_t>(L'0' + value % 10));
}

const wchar_t* LevelTag(LogLevel level) {
  switch (level) {
    case kError:
      return L"ERROR: ";
    case kWarning:
      return L"WARNING: ";
    case kInfo:
    default:
      return L"INFO: ";
  }
}

}  // namespace

std::wstring FormatLogRecord(const LogTimestamp& utc, uint32_t thread_id, LogLevel level,
                             const wchar_t* function, int line, const std::wstring& message,
                             const std::wstring& error_text) {
  std::wstring record;
  record.reserve(64 + message.size() + error_text.size());
  AppendTwoDigits(record, utc.year / 100);
  AppendTwoDigits(record, utc.year % 100);
  record += L'-';
  AppendTwoDigits(record, utc.month);
  record += L'-';
  AppendTwoDigits(record, utc.day);
  record += L' ';
  AppendTwoDigits(record, utc.hour);
  record += L':';
  AppendTwoDigits(record, utc.minute);
  record += L':';
  AppendTwoDigits(record, utc.second);
  record += L" <";
  record += ToDecimal(static_cast<uint64_t>(thread_id));
  record += L"> ";
  record += LevelTag(level);
  record += function != nullptr ? function : L"";
  record += L" (";
  record += ToDecimal(static_cast<int64_t>(line));
  record += L"): ";
  record += message;
  if (level == kError) {
    record += L" Last error: ";
    record += error_text;
  } else {
    record += L'\n';
  }
  return record;
}

std::wstring FormatLogMessage(const wchar_t* format, va_list args) {
  wchar_t buffer[kLogFormatBufferChars] = {};
  if (format != nullptr) {
#ifdef _WIN32
    _vsnwprintf(buffer, kLogFormatBufferChars - 1, format, args);
#else
    vswprintf(buffer, kLogFormatBufferChars, format, args);
#endif
  }
  // Whatever the formatter did on overflow, the text ends inside the buffer.
  buffer[kLogFormatBufferChars - 1] = L'\0';
  std::wstring message(buffer);
  message += L'\n';
  return message;
}

}  // namespace lite_installer
