// Shared by the trust tests under Wine: the fixture folder made by
// make_trust_fixtures.sh and the tail of the log this process writes.
#ifndef TESTS_TRUST_TRUST_TEST_SUPPORT_H_
#define TESTS_TRUST_TRUST_TEST_SUPPORT_H_

#include <string>

#include "base/environment.h"
#include "base/log.h"

namespace lite_installer {
namespace testing {

inline std::wstring TrustFixture(const std::wstring& name) { return std::wstring(LITE_TRUST_FIXTURE_DIR) + name; }

inline std::string TrustFixtureBytes(const std::wstring& name) { return LoadFileBytes(TrustFixture(name)); }

// The process has one log path, set once; every test program of win_tests
// uses the same file, so whichever suite runs first sets it.
inline std::wstring SharedTestLogPath() { return GetTemporaryPath() + L"log_sink_wintest.log"; }

// Records written to the log after construction.
class LogTail {
 public:
  LogTail() {
    SetLogPath(SharedTestLogPath());
    start_ = LoadFileBytes(SharedTestLogPath()).size();
  }
  std::wstring Text() const {
    std::string bytes = LoadFileBytes(SharedTestLogPath());
    bytes = bytes.size() >= start_ ? bytes.substr(start_) : bytes;
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  }
  bool Contains(const std::wstring& fragment) const { return Text().find(fragment) != std::wstring::npos; }

 private:
  size_t start_ = 0;
};

}  // namespace testing
}  // namespace lite_installer

#endif  // TESTS_TRUST_TRUST_TEST_SUPPORT_H_
