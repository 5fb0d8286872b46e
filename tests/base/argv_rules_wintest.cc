// The argv rules the native tests and fuzzers use agree with shell32's
// CommandLineToArgvW, on tricky lines and on random ones.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <random>

#include "base/unique_handle.h"
#include "tests/support/command_line_to_argv.h"

namespace {

std::vector<std::wstring> SystemSplit(const std::wstring& line) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(line.c_str(), &count);
  if (arguments == nullptr) return {};
  std::vector<std::wstring> list(arguments, arguments + count);
  LocalFree(arguments);
  return list;
}

TEST(ArgvRulesTest, AgreesWithShell32) {
  std::vector<std::wstring> lines = {
      L"a", L"\"C:\\A B\\x.exe\" --a=\"b c\"", L"x \"a\\\\\"b\" c", L"x a\\\\\\\"b", L"x \"\"\"\"\"\"",
      L"x \"a\"\"b\" \"\"", L"\"a\"b c", L"x\t\ty\t", L"x a\\", L"x \"a\\\\\"", L"\"unclosed program",
      L"x \"unclosed \\\" arg", L"x \"a\"\"\" b", L" x y", L"x \u00e9\u3000y"};
  std::mt19937 random(7);
  const std::wstring alphabet = L"ab \t\"\\\\\"=-\u00e9";
  for (int round = 0; round < 600; ++round) {
    std::wstring line;
    for (int k = 1 + random() % 24; k > 0; --k) line += alphabet[random() % alphabet.size()];
    lines.push_back(line);
  }
  for (const std::wstring& line : lines) {
    if (line.empty()) continue;  // the system puts the module's path there
    EXPECT_EQ(SystemSplit(line), lite_installer::testing::CommandLineToArgv(line))
        << std::string(line.begin(), line.end());
  }
}

}  // namespace
