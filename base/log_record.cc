#include "base/log_record.h"

#include <cwchar>

#include "base/text.h"

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

bool IsLineBreaking(uint32_t c) {
  return c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendHex(std::wstring& out, uint32_t value, int digits) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

std::wstring EscapeControlCharacters(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    const uint32_t u = static_cast<uint32_t>(c);
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
      out += c;
      out += text[++i];
    } else if (!IsLineBreaking(u) && !IsHighSurrogate(u) && !IsLowSurrogate(u)) {
      out += c;
    } else if (u <= 0xFF) {
      out += L"\\x";
      AppendHex(out, u, 2);
    } else {
      out += L"\\u";
      AppendHex(out, u, 4);
    }
  }
  return out;
}

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
  record += EscapeControlCharacters(message);
  if (level == kError) {
    // The system's text brings its own line ending; only that may end the
    // record.
    size_t ending = error_text.size();
    while (ending > 0 && (error_text[ending - 1] == L'\r' || error_text[ending - 1] == L'\n')) --ending;
    record += L" Last error: ";
    record += EscapeControlCharacters(error_text.substr(0, ending));
    const std::wstring line_end = error_text.substr(ending);
    const bool crlf = line_end.size() >= 2 && line_end.compare(line_end.size() - 2, 2, L"\r\n") == 0;
    record += crlf ? L"\r\n" : L"\n";
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
  return std::wstring(buffer);
}

}  // namespace lite_installer
