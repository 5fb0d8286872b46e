// The switch parser and the setup's command line: whatever arguments the
// installer is given, the command line it builds splits back (by the argv
// rules the setup uses) into exactly the table it built, and parsing that
// again gives the same switches.
#include "install/setup_command_line.h"
#include "base/switches.h"
#include "base/text.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/command_line_to_argv.h"

namespace {

std::vector<std::wstring> ExpectedArguments(const ProcessSwitches& table) {
  std::vector<std::wstring> expected = {table.program()};
  for (const auto& [name, value] : table.switches()) {
    expected.push_back(L"--" + std::wstring(name.begin(), name.end()) + (value.empty() ? L"" : L"=" + value));
  }
  return expected;
}

void CheckRoundTrip(const ProcessSwitches& table) {
  const std::wstring line = table.ToCommandLine();
  FUZZ_CHECK(line.find(L'\0') == std::wstring::npos);
  const std::vector<std::wstring> arguments = lite_installer::testing::CommandLineToArgv(line);
  FUZZ_CHECK(arguments == ExpectedArguments(table));
  // Parsing trims each argument, so a value's trailing blanks do not come
  // back; everything else does.
  std::map<std::string, std::wstring> trimmed = table.switches();
  for (auto& entry : trimmed) {
    while (!entry.second.empty() && lite_installer::IsTrimmedWhitespace(entry.second.back()))
      entry.second.pop_back();
  }
  FUZZ_CHECK(ProcessSwitches::FromArguments(arguments).switches() == trimmed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Arguments are separated by U+0000 (which no argument can hold).
  const std::wstring text = lite_installer::fuzz::WideFromBytes(data, size);
  std::vector<std::wstring> arguments(1);
  for (wchar_t c : text) {
    if (c == L'\0') {
      arguments.emplace_back();
    } else {
      arguments.back().push_back(c);
    }
  }
  // A program path cannot hold a double quote.
  std::wstring& program = arguments[0];
  for (wchar_t& c : program) {
    if (c == L'"') c = L'_';
  }
  const ProcessSwitches table = ProcessSwitches::FromArguments(arguments);
  for (const auto& [name, value] : table.switches()) {
    FUZZ_CHECK(ProcessSwitches::IsPassableSwitchName(std::wstring(name.begin(), name.end())));
  }
  CheckRoundTrip(table);

  lite_installer::SetupLaunchValues values;
  values.module_path = table.program() + L"\\setup.exe";
  values.brand_name = table.ValueNarrow("brand-name");
  for (char& c : values.brand_name) {
    if (c == '\0') c = ' ';
  }
  values.installer_data_path = table.Value("installerdata");
  values.clids_path = table.Value("clids-file");
  values.distrib_info_path = table.Value("distr-info-file");
  values.make_default = size % 2 == 1;
  values.send_stats = size % 3 == 1;
  values.download_time_us = static_cast<int64_t>(size) * 1000000;
  const ProcessSwitches setup = lite_installer::BuildSetupSwitches(table, values);
  CheckRoundTrip(setup);
  FUZZ_CHECK(setup.Has("make-browser-default-after-import") == values.make_default);
  FUZZ_CHECK(setup.Has("send-statistics") == values.send_stats);
  FUZZ_CHECK(setup.Value("clids-file") == values.clids_path);
  return 0;
}
