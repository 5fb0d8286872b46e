#include "tests/support/command_line_to_argv.h"

namespace lite_installer {
namespace testing {

std::vector<std::wstring> CommandLineToArgv(const std::wstring& line) {
  std::vector<std::wstring> arguments;
  size_t i = 0;
  const size_t n = line.size();
  std::wstring program;
  if (i < n && line[i] == L'"') {
    ++i;
    while (i < n && line[i] != L'"') program += line[i++];
    if (i < n) ++i;
  } else {
    while (i < n && line[i] != L' ' && line[i] != L'\t') program += line[i++];
  }
  arguments.push_back(program);
  while (i < n && (line[i] == L' ' || line[i] == L'\t')) ++i;
  if (i == n) return arguments;

  std::wstring current;
  int quote_count = 0;  // 1 inside quotes; counts the quotes of a "" run
  size_t backslashes = 0;
  while (i < n) {
    const wchar_t c = line[i];
    if ((c == L' ' || c == L'\t') && quote_count == 0) {
      arguments.push_back(current);
      current.clear();
      backslashes = 0;
      while (i < n && (line[i] == L' ' || line[i] == L'\t')) ++i;
      if (i == n) return arguments;
      continue;
    }
    if (c == L'\\') {
      current += c;
      ++backslashes;
      ++i;
      continue;
    }
    if (c == L'"') {
      if (backslashes % 2 == 0) {
        current.resize(current.size() - backslashes / 2);
        ++quote_count;
      } else {
        current.resize(current.size() - backslashes / 2 - 1);
        current += L'"';
      }
      ++i;
      backslashes = 0;
      while (i < n && line[i] == L'"') {
        if (++quote_count == 3) {
          current += L'"';
          quote_count = 0;
        }
        ++i;
      }
      if (quote_count == 2) quote_count = 0;
      continue;
    }
    current += c;
    backslashes = 0;
    ++i;
  }
  arguments.push_back(current);
  return arguments;
}

}  // namespace testing
}  // namespace lite_installer
