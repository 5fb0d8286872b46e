// The setup's command line, byte for byte, from the installer's own switches
// and the run's values.
#include "install/setup_command_line.h"

#include <gtest/gtest.h>

#include "install/download_attempts.h"
#include "install/installer_observer.h"

namespace lite_installer {
namespace {

ProcessSwitches Inherited(std::vector<std::wstring> arguments) {
  arguments.insert(arguments.begin(), L"C:\\Downloads\\lite_installer.exe");
  return ProcessSwitches::FromArguments(arguments);
}

SetupLaunchValues SilentRunValues() {
  SetupLaunchValues values;
  values.module_path = L"C:\\Users\\A B\\Temp\\kb1F.tmp";
  values.brand_name = "korvex";
  values.installer_data_path = L"C:\\Users\\A B\\Temp\\master_preferences";
  values.clids_path = L"C:\\Users\\A B\\Temp\\clids.xml";
  values.brand_package_path = L"C:\\Users\\A B\\Temp\\BrandFile";
  values.partner_package_path = L"C:\\Users\\A B\\Temp\\PartnerFile";
  return values;
}

TEST(SetupCommandLineTest, SilentRunKeepsInheritedSwitchesSortedAmongTheControllers) {
  SetupLaunchValues values = SilentRunValues();
  values.download_time_us = 12900000;
  const ProcessSwitches switches =
      BuildSetupSwitches(Inherited({L"--lang=ru", L"/silent"}), values);
  EXPECT_EQ(
      L"\"C:\\Users\\A B\\Temp\\kb1F.tmp\""
      L" --brand-name=korvex"
      L" --clids-file=\"C:\\Users\\A B\\Temp\\clids.xml\""
      L" --do-not-install-flash"
      L" --histogram-download-time=12"
      L" --installerdata=\"C:\\Users\\A B\\Temp\\master_preferences\""
      L" --lang=ru"
      L" --progress-window=0"
      L" --silent"
      L" --verbose-logging",
      switches.ToCommandLine());
}

TEST(SetupCommandLineTest, ControllerFlagsDecideTheirSwitchesWhateverTheInstallerWasGiven) {
  const ProcessSwitches inherited = Inherited(
      {L"--silent", L"--make-browser-default-after-import", L"--send-statistics", L"--verbose-logging=x"});
  SetupLaunchValues values = SilentRunValues();
  ProcessSwitches off = BuildSetupSwitches(inherited, values);
  EXPECT_FALSE(off.Has("make-browser-default-after-import"));
  EXPECT_FALSE(off.Has("send-statistics"));
  // An inherited value of a switch the controller sets is replaced.
  EXPECT_TRUE(off.Has("verbose-logging"));
  EXPECT_EQ(L"", off.Value("verbose-logging"));

  values.make_default = true;
  values.send_stats = true;
  const std::wstring line = BuildSetupSwitches(Inherited({}), values).ToCommandLine();
  EXPECT_NE(std::wstring::npos, line.find(L" --make-browser-default-after-import --progress-window=0"
                                          L" --send-statistics --verbose-logging"))
      << line;
}

TEST(SetupCommandLineTest, FlashSwitchFollowsBrandChoiceAndInheritedSwitch) {
  struct Case {
    bool is_ppapi;
    bool install_flash;
    bool inherited;
    bool expected;
  };
  const Case cases[] = {
      {false, true, false, true},  {false, false, false, true}, {false, true, true, true},
      {true, true, false, false},  {true, false, false, true},  {true, true, true, true},
      {true, false, true, true},
  };
  for (const Case& c : cases) {
    SetupLaunchValues values = SilentRunValues();
    values.is_ppapi = c.is_ppapi;
    values.install_flash = c.install_flash;
    const ProcessSwitches inherited =
        c.inherited ? Inherited({L"--do-not-install-flash"}) : Inherited({});
    const ProcessSwitches switches = BuildSetupSwitches(inherited, values);
    EXPECT_EQ(c.expected, switches.Has("do-not-install-flash"))
        << "ppapi " << c.is_ppapi << " flash " << c.install_flash << " inherited " << c.inherited;
    if (c.expected) EXPECT_EQ(L"", switches.Value("do-not-install-flash"));
  }
}

TEST(SetupCommandLineTest, PackagesParametersWindowAndDownloadTimeOnlyWhenKnown) {
  SetupLaunchValues values = SilentRunValues();
  ProcessSwitches bare = BuildSetupSwitches(Inherited({}), values);
  EXPECT_FALSE(bare.Has("brand-package"));
  EXPECT_FALSE(bare.Has("partner-package"));
  EXPECT_FALSE(bare.Has("distr-info-file"));
  // A pre-downloaded module leaves the download time at 0.
  EXPECT_FALSE(bare.Has("histogram-download-time"));
  EXPECT_EQ(L"C:\\Users\\A B\\Temp\\kb1F.tmp", bare.program());

  values.brand_package_loaded = true;
  values.partner_package_loaded = true;
  values.distrib_info_path = L"C:\\T\\distrib_info";
  values.window_handle = -2;
  values.download_time_us = 999999;  // under a second still counts as a download
  const std::wstring line = BuildSetupSwitches(Inherited({}), values).ToCommandLine();
  EXPECT_EQ(
      L"\"C:\\Users\\A B\\Temp\\kb1F.tmp\""
      L" --brand-name=korvex"
      L" --brand-package=\"C:\\Users\\A B\\Temp\\BrandFile\""
      L" --clids-file=\"C:\\Users\\A B\\Temp\\clids.xml\""
      L" --distr-info-file=\"C:\\T\\distrib_info\""
      L" --do-not-install-flash"
      L" --histogram-download-time=0"
      L" --installerdata=\"C:\\Users\\A B\\Temp\\master_preferences\""
      L" --partner-package=\"C:\\Users\\A B\\Temp\\PartnerFile\""
      L" --progress-window=-2"
      L" --verbose-logging",
      line);

  values.window_handle = 0x0004A2C6;
  values.download_time_us = 3000000000LL;
  const ProcessSwitches big = BuildSetupSwitches(Inherited({}), values);
  EXPECT_EQ(L"303814", big.Value("progress-window"));
  EXPECT_EQ(L"3000", big.Value("histogram-download-time"));
}

TEST(SetupCommandLineTest, BrandNameIsWidenedByteByByte) {
  SetupLaunchValues values = SilentRunValues();
  values.brand_name = "tb\xE9";
  const ProcessSwitches switches = BuildSetupSwitches(Inherited({}), values);
  EXPECT_EQ(std::wstring(L"tb\u00E9"), switches.Value("brand-name"));
}

TEST(SetupCommandLineTest, LimitCountsTheTerminatorAndFinalPathsLoseTheLongFormWhenShort) {
  EXPECT_TRUE(FitsCommandLineLimit(std::wstring(32766, L'a')));
  EXPECT_FALSE(FitsCommandLineLimit(std::wstring(32767, L'a')));
  EXPECT_EQ(L"C:\\t\\s.exe", LaunchPathFromFinalPath(L"\\\\?\\C:\\t\\s.exe"));
  EXPECT_EQ(L"\\\\srv\\sh\\s.exe", LaunchPathFromFinalPath(L"\\\\?\\UNC\\srv\\sh\\s.exe"));
  const std::wstring long_form = L"\\\\?\\C:\\" + std::wstring(257, L'x');
  EXPECT_EQ(long_form, LaunchPathFromFinalPath(long_form));
  EXPECT_EQ(L"C:\\" + std::wstring(256, L'x'), LaunchPathFromFinalPath(L"\\\\?\\C:\\" + std::wstring(256, L'x')));
  EXPECT_EQ(L"\\\\?\\Volume{1}\\s", LaunchPathFromFinalPath(L"\\\\?\\Volume{1}\\s"));
}

TEST(DownloadAttemptsTest, FailedAttemptRestartsOnlyBelowATenthOfTheBody) {
  EXPECT_FALSE(ShouldRestartDownload(300000, 1000000));
  EXPECT_FALSE(ShouldRestartDownload(100000, 1000000));
  EXPECT_TRUE(ShouldRestartDownload(99999, 1000000));
  EXPECT_TRUE(ShouldRestartDownload(50000, 1000000));
  // Unknown length: nothing arrived in this attempt, the file stays as it is.
  EXPECT_FALSE(ShouldRestartDownload(0, 0));
  EXPECT_FALSE(ShouldRestartDownload(70000, 0));
  // Bodies beyond 429,496,729 bytes keep the tenth rule (a 32-bit product
  // would wrap to a threshold of 13,452,943 here).
  EXPECT_TRUE(ShouldRestartDownload(399999999, 4000000000u));
  EXPECT_FALSE(ShouldRestartDownload(400000000, 4000000000u));
}

TEST(InstallerObserverTest, DownloadCoversFiveToFortyPercent) {
  EXPECT_EQ(5, DownloadFractionToPercent(0.0f));
  EXPECT_EQ(40, DownloadFractionToPercent(1.0f));
  EXPECT_EQ(22, DownloadFractionToPercent(0.5f));
  EXPECT_EQ(8, DownloadFractionToPercent(0.1f));
}

}  // namespace
}  // namespace lite_installer
