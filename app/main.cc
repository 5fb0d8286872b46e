// Process entry: opens the log, reads the run mode, builds the run's
// configuration and takes the silent or the windowed road.
#include <windows.h>

#include <string>

#include "brand/brand_package_info.h"
#include "brand/interface_language.h"
#include "install/disk_space.h"
#include "install/distrib_info_params.h"
#include "install/installer.h"
#include "base/environment.h"
#include "base/exit_codes.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/os_version.h"
#include "base/run_folder.h"
#include "base/switches.h"
#include "base/system_library.h"
#include "base/text.h"
#include "resources/resource_ids.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/ui_environment.h"

using lite_installer::kInfo;
using lite_installer::Log;

namespace {

constexpr const wchar_t* kFunction = lite_installer::log_tag::kWWinMain;

// Windows 10 is class 7; below it the setup may make the browser the default.
constexpr OsVersionClass kWindows10Class = 7;

// Runs the whole installation on this thread, with the install signal given
// in advance; returns the controller's exit code.
int RunSilentRoad(BrandPackageInfo& brand, DistribInfoParams& distrib_params) {
  Log(kInfo, kFunction, __LINE__, L"Installing in silent mode.");
  const ProcessSwitches& switches = ProcessSwitches::Current();
  Installer installer(nullptr, brand, distrib_params);
  if (GetOsVersionClass() < kWindows10Class) {
    installer.make_default = switches.Has("make-browser-default-after-import");
  }
  installer.send_stats = switches.Has("send-statistics");
  ResetEvent(installer.stop_event.Get());
  SetEvent(installer.install_event.Get());
  installer.Run();
  return installer.exit_code;
}

// Shows the installer window; returns its result (kResultRunOver when the
// installation ran to its end), or anything else when the window was closed
// or not shown.
// The exit code is read after the window let its controller's worker end.
INT_PTR RunMainWindow(BrandPackageInfo& brand, DistribInfoParams& distrib_params, int* exit_code) {
  lite_installer::MainWindow window(brand, distrib_params);
  const INT_PTR result = window.DoModal(GetActiveWindow());
  window.installer.Stop();
  if (window.installer.worker_thread.IsValid()) WaitForSingleObject(window.installer.worker_thread.Get(), INFINITE);
  *exit_code = window.installer.exit_code;
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The program starts from a download folder, where anybody's files land:
  // from here on every library comes from System32 only.
  lite_installer::RestrictDllSearchToSystem32();
  // The common controls load uxtheme by name on their first use, whatever
  // the search order says; loaded from System32 first, that copy is the one
  // they find. Kept for the whole run.
  const lite_installer::SystemLibrary uxtheme(L"uxtheme.dll");
  const bool ui_owner = UiEnvironment::ClaimOwnership();
  lite_installer::SetLogPath(GetTemporaryPath() + L"\\lite_installer.log");
  Log(kInfo, kFunction, __LINE__, L"-------------------------------------- Start install.");
  Log(kInfo, kFunction, __LINE__, L"Lite installer mode.");

  const ProcessSwitches& switches = ProcessSwitches::Current();
  const bool silent = switches.Has("silent");
  const bool system_level = switches.Has("system-level");
  const std::string brand_name = switches.ValueNarrow("brand-name");

  const std::wstring temporary_path = GetTemporaryPath();
  Log(kInfo, kFunction, __LINE__, L"Temporary path is: " + temporary_path);
  // The package and every file handed to the setup go into a folder of this
  // run's own, not into the temporary folder every process of the user can
  // write.
  std::wstring run_folder = lite_installer::CreateRunFolder(temporary_path);
  if (run_folder.empty()) run_folder = temporary_path;

  DistribInfoParams distrib_params;
  distrib_params.Load();
  BrandPackageInfo brand(run_folder);
  brand.GetInfo(brand_name);
  // The interface language: the distribution's "lang" parameter wins, even
  // when empty; the international brand otherwise lets the defaults choose
  // unless its document turned language detection off.
  std::string lang_parameter;
  const bool has_lang_parameter = distrib_params.Find("lang", &lang_parameter);
  lite_installer::OverrideInterfaceLanguage(has_lang_parameter ? &lang_parameter : nullptr, brand);
  brand.SetDefaults();

  const bool enough_disk_space = lite_installer::HasEnoughDiskSpace(system_level);

  int exit_code = lite_installer::kExitNoSetupResult;
  bool log_exit_code = true;
  if (silent) {
    exit_code = RunSilentRoad(brand, distrib_params);
  } else if (!enough_disk_space) {
    // The run ends without an exit-code record.
    lite_installer::NoticeDialog notice(static_cast<int>(brand.language_id), IDS_NO_SPACE_TITLE, IDS_NO_SPACE_TEXT,
                                        IDS_OK_BUTTON);
    notice.DoModal(GetActiveWindow());
    exit_code = lite_installer::kExitNotEnoughDiskSpace;
    log_exit_code = false;
  } else {
    int window_exit_code = lite_installer::kExitNoSetupResult;
    if (RunMainWindow(brand, distrib_params, &window_exit_code) == lite_installer::kResultRunOver) {
      exit_code = window_exit_code;
    } else {
      Log(kInfo, kFunction, __LINE__, L"User cancelled installation.");
      exit_code = lite_installer::kExitWindowClosed;
    }
  }
  if (log_exit_code) {
    Log(kInfo, kFunction, __LINE__,
        L"Installer exit with code: " + lite_installer::ToDecimal(static_cast<int64_t>(exit_code)));
  }

  UiEnvironment::ShutdownIfOwner(ui_owner);
  return exit_code;
}
