#include "tests/support/captured_log.h"

#include <cstdarg>

#include "base/log_record.h"

namespace lite_installer {

namespace {
std::vector<testing::CapturedRecord>& Records() {
  static std::vector<testing::CapturedRecord> records;
  return records;
}
}  // namespace

void Log(LogLevel level, const wchar_t* function, int line, const std::wstring& message) {
  Records().push_back({level, function, line, message});
}

void LogFormat(LogLevel level, const wchar_t* function, int line, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring message = FormatLogMessage(format, args);
  va_end(args);
  Records().push_back({level, function, line, message});
}

void SetLogPath(const std::wstring&) {}

namespace testing {

const std::vector<CapturedRecord>& CapturedLog() { return Records(); }
void ClearCapturedLog() { Records().clear(); }

bool LogContains(const std::wstring& fragment) {
  for (const CapturedRecord& record : Records()) {
    if (record.message.find(fragment) != std::wstring::npos) return true;
  }
  return false;
}

}  // namespace testing
}  // namespace lite_installer
