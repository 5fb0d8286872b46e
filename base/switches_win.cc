#include <windows.h>
#include <shellapi.h>

#include "base/log.h"
#include "base/log_tags.h"
#include "base/switches.h"
#include "base/text.h"

namespace {

ProcessSwitches ParseProcessCommandLine() {
  const std::wstring line = lite_installer::TrimWhitespace(GetCommandLineW());
  if (line.empty()) return ProcessSwitches();
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(line.c_str(), &count);
  if (arguments == nullptr) return ProcessSwitches();
  std::vector<std::wstring> list(arguments, arguments + count);
  LocalFree(arguments);
  std::vector<std::wstring> dropped;
  ProcessSwitches table = ProcessSwitches::FromArguments(list, &dropped);
  for (const std::wstring& name : dropped) {
    const bool empty = name == L"--" || name == L"-" || name == L"/";
    lite_installer::Log(lite_installer::kWarning, lite_installer::log_tag::kProcessSwitchesCurrent, __LINE__,
                        empty ? L"Switch dropped, its name is empty: " + name
                              : L"Switch dropped, its name is not ASCII letters, digits, \"-\", \"_\" or \".\": " +
                                    name);
  }
  return table;
}

}  // namespace

const ProcessSwitches& ProcessSwitches::Current() {
  static const ProcessSwitches table = ParseProcessCommandLine();
  return table;
}
