#include "install/setup_command_line.h"

#include "base/text.h"

namespace lite_installer {

namespace {

// Sets a switch without value when `on`, removes it otherwise.
void SetOrRemove(ProcessSwitches& switches, const std::string& name, bool on) {
  if (on) {
    switches.Set(name);
  } else {
    switches.Remove(name);
  }
}

}  // namespace

ProcessSwitches BuildSetupSwitches(const ProcessSwitches& inherited, const SetupLaunchValues& values) {
  ProcessSwitches switches = inherited;
  switches.SetProgram(values.module_path);

  switches.Set("progress-window", ToDecimal(values.window_handle));
  switches.Set("verbose-logging");
  switches.Set("brand-name", Widen(values.brand_name));
  switches.Set("installerdata", values.installer_data_path);
  switches.Set("clids-file", values.clids_path);
  if (values.brand_package_loaded) switches.Set("brand-package", values.brand_package_path);
  if (values.partner_package_loaded) switches.Set("partner-package", values.partner_package_path);
  if (!values.distrib_info_path.empty()) switches.Set("distr-info-file", values.distrib_info_path);
  SetOrRemove(switches, "make-browser-default-after-import", values.make_default);

  // A brand without the PPAPI plug-in never gets Flash from the setup; with
  // it, the user's choice or the installer's own switch can still decline it.
  const bool decline_flash =
      !values.is_ppapi || !values.install_flash || inherited.Has("do-not-install-flash");
  SetOrRemove(switches, "do-not-install-flash", decline_flash);

  SetOrRemove(switches, "send-statistics", values.send_stats);
  if (values.download_time_us != 0) {
    const int32_t seconds = static_cast<int32_t>(values.download_time_us / 1000000);
    switches.Set("histogram-download-time", ToDecimal(static_cast<int64_t>(seconds)));
  }
  return switches;
}

bool FitsCommandLineLimit(const std::wstring& command_line) {
  return command_line.size() < kMaxCommandLineChars;
}

std::wstring LaunchPathFromFinalPath(const std::wstring& final_path) {
  // Paths of this length or longer need the long form.
  constexpr size_t kClassicPathLimitChars = 260;
  static const std::wstring kLongPrefix = L"\\\\?\\";
  static const std::wstring kLongUncPrefix = L"\\\\?\\UNC\\";
  std::wstring short_form;
  if (final_path.compare(0, kLongUncPrefix.size(), kLongUncPrefix) == 0) {
    short_form = L"\\\\" + final_path.substr(kLongUncPrefix.size());
  } else if (final_path.compare(0, kLongPrefix.size(), kLongPrefix) == 0 && final_path.size() > 6 &&
             final_path[5] == L':' && final_path[6] == L'\\') {
    short_form = final_path.substr(kLongPrefix.size());
  } else {
    return final_path;
  }
  return short_form.size() < kClassicPathLimitChars ? short_form : final_path;
}

}  // namespace lite_installer
