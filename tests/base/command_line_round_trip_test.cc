// The setup's command line splits back into exactly the switch table it was
// built from, whatever the caller's switches held.
#include <gtest/gtest.h>

#include <random>

#include "install/setup_command_line.h"
#include "base/switches.h"
#include "tests/support/command_line_to_argv.h"

namespace lite_installer {
namespace {

using testing::CommandLineToArgv;

// What the setup must read back: the program, then "--name[=value]" per switch.
std::vector<std::wstring> ExpectedArguments(const ProcessSwitches& table) {
  std::vector<std::wstring> expected = {table.program()};
  for (const auto& [name, value] : table.switches()) {
    expected.push_back(L"--" + std::wstring(name.begin(), name.end()) + (value.empty() ? L"" : L"=" + value));
  }
  return expected;
}

TEST(CommandLineRoundTripTest, RandomTablesSplitBackIntoTheSameArguments) {
  std::mt19937 random(12);
  const std::wstring name_chars = L"abcXYZ019-_.";
  const std::wstring value_chars = L"a Z\t\n\v\"\\\\=&/?#%'\u00e9\u0100\u0120\u013d\u3000\U0001F600";
  for (int round = 0; round < 3000; ++round) {
    ProcessSwitches table;
    std::wstring program = L"C:\\";
    for (int k = random() % 12; k > 0; --k) program += L"ab \\\u00e9\t"[random() % 6];
    table.SetProgram(program + L"x.exe");
    for (int s = random() % 6; s > 0; --s) {
      std::string name;
      // Never empty: an empty-named switch is not passed on.
      for (int k = 1 + random() % 7; k > 0; --k) name += static_cast<char>(name_chars[random() % name_chars.size()]);
      std::wstring value;
      for (int k = random() % 10; k > 0; --k) value += value_chars[random() % value_chars.size()];
      table.Set("--" + name, value);
    }
    const std::wstring line = table.ToCommandLine();
    ASSERT_EQ(ExpectedArguments(table), CommandLineToArgv(line)) << "round " << round;
  }
}

TEST(CommandLineRoundTripTest, HostileSwitchesCannotOverrideTheControllersOwn) {
  std::vector<std::wstring> dropped;
  const ProcessSwitches inherited = ProcessSwitches::FromArguments(
      {L"C:\\dl\\lite.exe", L"--x --make-browser-default-after-import", L"--x --clids-file=C:\\evil.xml",
       L"--\u0120silent", L"--a\u013db", L"--z\u0100", L"--a\"b", L"--tab=one\ttwo", L"--q=\"x\" --y",
       L"--path=C:\\dir with\\ \\\"", L"--lang=ru"},
      &dropped);
  EXPECT_EQ((std::vector<std::wstring>{L"--x --make-browser-default-after-import", L"--x --clids-file",
                                       L"--\u0120silent", L"--a\u013db", L"--z\u0100", L"--a\"b"}),
            dropped);

  SetupLaunchValues values;
  values.module_path = L"C:\\Users\\A B\\Temp\\kb1F.tmp";
  values.brand_name = "int";
  values.installer_data_path = L"C:\\Users\\A B\\Temp\\master_preferences";
  values.clids_path = L"C:\\Users\\A B\\Temp\\clids.xml";
  const ProcessSwitches setup = BuildSetupSwitches(inherited, values);
  const std::vector<std::wstring> read_back = CommandLineToArgv(setup.ToCommandLine());
  EXPECT_EQ(ExpectedArguments(setup), read_back);

  // What the setup parses equals the controller's table: its own decisions
  // stand and the caller's values arrive intact.
  const ProcessSwitches parsed = ProcessSwitches::FromArguments(read_back);
  EXPECT_EQ(setup.switches(), parsed.switches());
  EXPECT_FALSE(parsed.Has("make-browser-default-after-import"));
  EXPECT_EQ(values.clids_path, parsed.Value("clids-file"));
  EXPECT_EQ(L"one\ttwo", parsed.Value("tab"));
  EXPECT_EQ(L"\"x\" --y", parsed.Value("q"));
  EXPECT_EQ(L"C:\\dir with\\ \\\"", parsed.Value("path"));
  EXPECT_EQ(L"ru", parsed.Value("lang"));
  EXPECT_TRUE(parsed.Has("progress-window"));
  EXPECT_FALSE(parsed.Has("silent"));
}

TEST(CommandLineRoundTripTest, SwitchesThatCannotBePassedOnAreLeftOut) {
  ProcessSwitches table;
  table.SetProgram(L"C:\\s.exe");
  table.Set("ok", std::wstring(L"1"));
  table.Set("bad name", std::wstring(L"2"));
  table.Set("nul", std::wstring(L"a\0b", 3));
  EXPECT_EQ(L"\"C:\\s.exe\" --ok=1", table.ToCommandLine());
}

}  // namespace
}  // namespace lite_installer
