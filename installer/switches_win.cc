#include <windows.h>
#include <shellapi.h>

#include "installer/switches.h"
#include "installer/text.h"

namespace {

ProcessSwitches ParseProcessCommandLine() {
  const std::wstring line = lite_installer::TrimWhitespace(GetCommandLineW());
  if (line.empty()) return ProcessSwitches();
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(line.c_str(), &count);
  if (arguments == nullptr) return ProcessSwitches();
  std::vector<std::wstring> list(arguments, arguments + count);
  LocalFree(arguments);
  return ProcessSwitches::FromArguments(list);
}

}  // namespace

const ProcessSwitches& ProcessSwitches::Current() {
  static const ProcessSwitches table = ParseProcessCommandLine();
  return table;
}
