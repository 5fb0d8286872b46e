// Process entry: opens the log, reads the run mode, builds the run's
// configuration and takes the silent or the windowed road.
#include <windows.h>

#include <string>

#include "brand/brand_package_info.h"
#include "brand/download_page.h"
#include "install/distrib_info_params.h"
#include "installer/environment.h"
#include "installer/exit_codes.h"
#include "installer/log.h"
#include "installer/switches.h"
#include "installer/text.h"
#include "ui/ui_environment.h"

using lite_installer::kInfo;
using lite_installer::Log;

namespace {

constexpr wchar_t kFunction[] = L"wWinMain";

// Runs the whole installation on this thread; returns the exit code.
int RunSilentRoad() {
  Log(kInfo, kFunction, __LINE__, L"Installing in silent mode.");
  return lite_installer::kExitNoSetupResult;
}

// Shows the installer window; returns its result (1 when the installation
// ran to its end), or anything else when the window was closed or not shown.
INT_PTR RunMainWindow(int* exit_code) {
  *exit_code = lite_installer::kExitNoSetupResult;
  return -1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const bool ui_owner = UiEnvironment::ClaimOwnership();
  lite_installer::SetLogPath(GetTemporaryPath() + L"\\lite_installer.log");
  Log(kInfo, kFunction, __LINE__, L"-------------------------------------- Start install.");
  Log(kInfo, kFunction, __LINE__, L"Lite installer mode.");

  const ProcessSwitches& switches = ProcessSwitches::Current();
  const bool silent = switches.Has("silent");
  const bool system_level = switches.Has("system-level");
  const std::string brand_name = switches.ValueNarrow("brand-name");
  (void)system_level;

  const std::wstring temporary_path = GetTemporaryPath();
  Log(kInfo, kFunction, __LINE__, L"Temporary path is: " + temporary_path);

  DistribInfoParams distrib_params;
  distrib_params.Load();

  // The brand record: packages, the interface-language override, defaults.
  // From here on it is only read.
  BrandPackageInfo brand(temporary_path);
  brand.GetInfo(brand_name);
  std::string lang_parameter;
  const bool has_lang_parameter = distrib_params.Find("lang", &lang_parameter);
  lite_installer::OverrideInterfaceLanguage(has_lang_parameter ? &lang_parameter : nullptr, brand);
  brand.SetDefaults();

  int exit_code = lite_installer::kExitNoSetupResult;
  if (silent) {
    exit_code = RunSilentRoad();
  } else {
    int window_exit_code = lite_installer::kExitNoSetupResult;
    if (RunMainWindow(&window_exit_code) == 1) {
      exit_code = window_exit_code;
    } else {
      Log(kInfo, kFunction, __LINE__, L"User cancelled installation.");
      exit_code = lite_installer::kExitWindowClosed;
    }
  }
  Log(kInfo, kFunction, __LINE__, L"Installer exit with code: " + lite_installer::ToDecimal(static_cast<int64_t>(exit_code)));

  UiEnvironment::ShutdownIfOwner(ui_owner);
  return exit_code;
}
