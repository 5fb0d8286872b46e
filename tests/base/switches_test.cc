#include "base/switches.h"

#include <gtest/gtest.h>

namespace {

ProcessSwitches Parse(std::vector<std::wstring> arguments) {
  arguments.insert(arguments.begin(), L"C:\\lite_installer.exe");
  return ProcessSwitches::FromArguments(arguments);
}

TEST(ProcessSwitchesTest, EveryPrefixAndCaseSelectsTheSameSwitch) {
  for (const wchar_t* argument : {L"--Silent", L"-silent", L"/SILENT"}) {
    const ProcessSwitches table = Parse({argument});
    EXPECT_TRUE(table.Has("silent")) << argument;
    EXPECT_TRUE(table.Has("SILENT")) << "the query is lower-cased too";
    EXPECT_EQ(1u, table.switches().size());
  }
  // The query is not stripped of a prefix.
  EXPECT_FALSE(Parse({L"--silent"}).Has("--silent"));
}

TEST(ProcessSwitchesTest, ValuesSplitAtTheFirstEqualsAndLaterOccurrencesWin) {
  const ProcessSwitches table = Parse({L"--brand-name=Foo=Bar", L"--empty=", L"--a=1", L"--a=2"});
  EXPECT_EQ(L"Foo=Bar", table.Value("brand-name"));
  EXPECT_TRUE(table.Has("empty"));
  EXPECT_EQ(L"", table.Value("empty"));
  EXPECT_EQ(L"2", table.Value("a"));
  EXPECT_EQ(L"", table.Value("absent"));
  EXPECT_FALSE(table.Has("absent"));
}

TEST(ProcessSwitchesTest, PlainArgumentsAreDroppedAndOnlyOnePrefixIsStripped) {
  std::vector<std::wstring> dropped;
  const ProcessSwitches table = ProcessSwitches::FromArguments(
      {L"C:\\lite.exe", L"--x", L"--", L"y", L"-/x", L"  --padded\u3000 ", L"-", L"/", L"--=v"}, &dropped);
  EXPECT_EQ((std::vector<std::wstring>{L"--", L"-/x", L"-", L"/", L"--"}), dropped) << "no empty-named switch";
  EXPECT_TRUE(table.Has("x"));
  EXPECT_FALSE(table.Has(""));
  EXPECT_FALSE(table.Has("y"));
  EXPECT_FALSE(table.Has("/x")) << "the name left after one prefix holds a slash";
  EXPECT_TRUE(table.Has("padded")) << "arguments are trimmed, wide blanks included";
  EXPECT_EQ(2u, table.switches().size());
}

TEST(ProcessSwitchesTest, SemiSilentAddsSilentAndUacEnabledWithEmptyValues) {
  const ProcessSwitches table = Parse({L"--semi-silent", L"--silent=5"});
  EXPECT_TRUE(table.Has("silent"));
  EXPECT_EQ(L"", table.Value("silent"));
  EXPECT_TRUE(table.Has("uac-enabled"));
  EXPECT_TRUE(table.Has("semi-silent"));
}

TEST(ProcessSwitchesTest, NarrowValueKeepsTheLowByteOfEachUnit) {
  const ProcessSwitches table = Parse({L"--name=a\u0142b"});
  EXPECT_EQ(std::string("a\x42" "b"), table.ValueNarrow("name"));
}

TEST(ProcessSwitchesTest, EditsOnACopyLeaveTheOriginal) {
  const ProcessSwitches original = Parse({L"--silent", L"--brand-name=x"});
  ProcessSwitches copy = original;
  copy.Set("--Brand-Name", std::string("tb"));
  copy.Set("/progress-window", std::wstring(L"0"));
  copy.Remove("silent");
  copy.Remove("BRAND-NAME");  // Remove takes the exact name.
  copy.SetProgram(L"  C:\\setup.exe ");
  EXPECT_EQ(L"tb", copy.Value("brand-name"));
  EXPECT_EQ(L"0", copy.Value("progress-window"));
  EXPECT_FALSE(copy.Has("silent"));
  EXPECT_EQ(L"C:\\setup.exe", copy.program());
  EXPECT_EQ(L"x", original.Value("brand-name"));
  EXPECT_TRUE(original.Has("silent"));
}

TEST(ProcessSwitchesTest, NoArgumentsGiveAnEmptyTable) {
  const ProcessSwitches table = ProcessSwitches::FromArguments({});
  EXPECT_EQ(L"", table.program());
  EXPECT_TRUE(table.switches().empty());
  EXPECT_EQ(L"", table.ToCommandLine());
}

TEST(QuoteArgumentTest, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(L"plain", ProcessSwitches::QuoteArgument(L"plain"));
  EXPECT_EQ(L"\"a\tb\"", ProcessSwitches::QuoteArgument(L"a\tb")) << "a tab separates arguments";
  EXPECT_EQ(L"\"a\nb\"", ProcessSwitches::QuoteArgument(L"a\nb"));
  EXPECT_EQ(L"\"C:\\Program Files\\setup.exe\"",
            ProcessSwitches::QuoteArgument(L"C:\\Program Files\\setup.exe"));
  EXPECT_EQ(L"\"C:\\My Dir\\\\\"", ProcessSwitches::QuoteArgument(L"C:\\My Dir\\"));
  EXPECT_EQ(L"\"say \\\"hi\\\"\"", ProcessSwitches::QuoteArgument(L"say \"hi\""));
  EXPECT_EQ(L"\"a\\\\\\\"b\"", ProcessSwitches::QuoteArgument(L"a\\\"b"));
  EXPECT_EQ(L"\"C:\\dir\"", ProcessSwitches::QuoteArgument(L"C:\\dir"));
}

TEST(ProcessSwitchesTest, SerialisesInAscendingNameOrder) {
  ProcessSwitches table = Parse({L"--silent", L"--brand-name=my brand"});
  table.SetProgram(L"C:\\Temp Dir\\setup.exe");
  EXPECT_EQ(L"\"C:\\Temp Dir\\setup.exe\" --brand-name=\"my brand\" --silent", table.ToCommandLine());
}

}  // namespace
