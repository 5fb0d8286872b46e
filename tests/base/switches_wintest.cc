// The serialised command line must split back into the same switches when the
// real CommandLineToArgvW reads it.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "base/switches.h"

namespace {

std::vector<std::wstring> SplitWithSystem(const std::wstring& line) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(line.c_str(), &count);
  std::vector<std::wstring> list;
  if (arguments == nullptr) return list;
  list.assign(arguments, arguments + count);
  LocalFree(arguments);
  return list;
}

TEST(SwitchesRoundTripTest, HostileValuesSurviveCommandLineToArgvW) {
  const std::wstring values[] = {
      L"plain",
      L"with blank",
      L"\"quoted\"",
      L"inner\"quote",
      L"trailing backslash\\",
      L"C:\\Program Files\\Korvex\\",
      L"two\\\\ trailing\\\\",
      L"back\\\"slash quote",
      L"a=b=c",
      L"=leading equals",
      L"\\\\server\\share\\file name.exe",
      L"\"",
      L"\\",
      L"mixed \\\"\\\\\" end\\",
  };
  ProcessSwitches table;
  table.SetProgram(L"C:\\Program Files (x86)\\Setup Dir\\setup.exe");
  int index = 0;
  for (const std::wstring& value : values) {
    table.Set("value" + std::to_string(index++), value);
  }
  table.Set("flag");

  const std::wstring line = table.ToCommandLine();
  const ProcessSwitches parsed = ProcessSwitches::FromArguments(SplitWithSystem(line));
  EXPECT_EQ(table.program(), parsed.program()) << line.c_str();
  EXPECT_EQ(table.switches(), parsed.switches());
}

TEST(SwitchesRoundTripTest, TabsAndLineBreaksInAValueAreQuoted) {
  ProcessSwitches table;
  table.SetProgram(L"setup.exe");
  table.Set("tab", std::wstring(L"a\tb"));
  table.Set("line", std::wstring(L"c\nd"));
  const std::vector<std::wstring> split = SplitWithSystem(table.ToCommandLine());
  EXPECT_EQ((std::vector<std::wstring>{L"setup.exe", L"--line=c\nd", L"--tab=a\tb"}), split);
}

}  // namespace
