// The native test build's log: records are kept in memory so that tests can
// assert on what the code under test logged.
#ifndef TESTS_SUPPORT_CAPTURED_LOG_H_
#define TESTS_SUPPORT_CAPTURED_LOG_H_

#include <string>
#include <vector>

#include "base/log.h"

namespace lite_installer {
namespace testing {

struct CapturedRecord {
  LogLevel level;
  std::wstring function;
  int line;
  std::wstring message;
};

const std::vector<CapturedRecord>& CapturedLog();
void ClearCapturedLog();
// True when some record's message contains `fragment`.
bool LogContains(const std::wstring& fragment);

}  // namespace testing
}  // namespace lite_installer

#endif  // TESTS_SUPPORT_CAPTURED_LOG_H_
