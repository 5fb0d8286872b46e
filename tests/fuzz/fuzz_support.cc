#include "tests/fuzz/fuzz_support.h"

#include <cstdarg>
#include <cwchar>

#include "base/log.h"
#include "base/log_record.h"
#include "base/percent_encoding.h"

namespace lite_installer {

namespace {

// Every record the units write must stay one line: its only line break is
// the one that ends it.
void CheckOneLine(LogLevel level, const std::wstring& message) {
  const LogTimestamp time = {2026, 12, 8, 6, 0, 0};
  const std::wstring record = FormatLogRecord(time, 1, level, L"f", 1, message, L"Error text.\r\n");
  const size_t first_break = record.find_first_of(L"\r\n");
  FUZZ_CHECK(first_break != std::wstring::npos);
  const std::wstring ending = record.substr(first_break);
  FUZZ_CHECK(ending == L"\n" || ending == L"\r\n");
  for (wchar_t c : record.substr(0, first_break)) {
    FUZZ_CHECK(!(c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029));
  }
}

}  // namespace

// The harnesses' log: nothing is written, every record is checked.
void Log(LogLevel level, const wchar_t*, int, const std::wstring& message) { CheckOneLine(level, message); }

void LogFormat(LogLevel level, const wchar_t*, int, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const std::wstring message = FormatLogMessage(format, args);
  va_end(args);
  CheckOneLine(level, message);
}

void SetLogPath(const std::wstring&) {}

namespace fuzz {

std::wstring WideFromBytes(const uint8_t* data, size_t size) {
  std::wstring text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
  }
  return text;
}

std::vector<std::string> SplitBytes(const uint8_t* data, size_t size, char separator) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < size; ++i) {
    if (static_cast<char>(data[i]) == separator) {
      parts.emplace_back();
    } else {
      parts.back().push_back(static_cast<char>(data[i]));
    }
  }
  return parts;
}

namespace {
bool IsHex(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'); }
}  // namespace

std::wstring UrlSkeleton(const std::wstring& url) {
  std::wstring skeleton;
  for (size_t i = 0; i < url.size(); ++i) {
    if (url[i] == L'%' && i + 2 < url.size() && IsHex(url[i + 1]) && IsHex(url[i + 2])) {
      i += 2;
    } else if (url[i] > 0x7F || !IsUnreservedUrlCharacter(static_cast<unsigned char>(url[i]))) {
      skeleton += url[i];
    }
  }
  return skeleton;
}

bool IsPercentEncoded(const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%') {
      if (i + 2 >= text.size() || !IsHex(text[i + 1]) || !IsHex(text[i + 2])) return false;
      i += 2;
    } else if (text[i] > 0x7F || !IsUnreservedUrlCharacter(static_cast<unsigned char>(text[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace fuzz
}  // namespace lite_installer
