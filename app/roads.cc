#include "app/roads.h"

#include <jansson.h>

#include <cstdint>
#include <string>

#include "base/environment.h"
#include "base/build_config.h"
#include "base/exit_codes.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/os_version.h"
#include "base/run_folder.h"
#include "base/switches.h"
#include "base/system_library.h"
#include "base/system_random.h"
#include "base/text.h"
#include "brand/brand_package_info.h"
#include "brand/interface_language.h"
#include "install/disk_space.h"
#include "install/distrib_info_params.h"
#include "resources/resource_ids.h"
#include "ui/main_window.h"
#include "ui/message_dialog.h"
#include "ui/ui_environment.h"

namespace lite_installer {

namespace {

constexpr const wchar_t* kFunction = log_tag::kWWinMain;

// Windows 10 is class 7; below it the setup may make the browser the default.
constexpr OsVersionClass kWindows10Class = 7;

class MainWindowRoad : public RoadWindow {
 public:
  MainWindowRoad(BrandPackageInfo& brand, DistribInfoParams& distrib_params, InstallerFactory make_installer)
      : window_(brand, distrib_params, make_installer) {}

  INT_PTR ShowModal() override { return window_.DoModal(GetActiveWindow()); }
  Installer& controller() override { return window_.installer; }

 private:
  MainWindow window_;
};

}  // namespace

std::unique_ptr<RoadWindow> MakeMainWindow(BrandPackageInfo& brand, DistribInfoParams& distrib_params,
                                           InstallerFactory make_installer) {
  return std::make_unique<MainWindowRoad>(brand, distrib_params, make_installer);
}

int RunSilentRoad(BrandPackageInfo& brand, DistribInfoParams& distrib_params, const RoadSeams& seams) {
  Log(kInfo, kFunction, __LINE__, L"Installing in silent mode.");
  const ProcessSwitches& switches = ProcessSwitches::Current();
  const std::unique_ptr<Installer> installer = seams.make_installer(nullptr, brand, distrib_params);
  installer->ReportLaunch();
  if (GetOsVersionClass() < kWindows10Class) {
    installer->make_default = switches.Has("make-browser-default-after-import");
  }
  installer->send_stats = switches.Has("send-statistics");
  ResetEvent(installer->stop_event.Get());
  SetEvent(installer->install_event.Get());
  installer->Run();
  return installer->exit_code;
}

int RunWindowedRoad(BrandPackageInfo& brand, DistribInfoParams& distrib_params, const RoadSeams& seams) {
  INT_PTR result = -1;
  int exit_code = kExitNoSetupResult;
  {
    const std::unique_ptr<RoadWindow> window = seams.make_window(brand, distrib_params, seams.make_installer);
    result = window->ShowModal();
    // The exit code is read after the window let its controller's worker end.
    Installer& installer = window->controller();
    installer.Stop();
    if (installer.worker_thread.IsValid()) WaitForSingleObject(installer.worker_thread.Get(), INFINITE);
    exit_code = installer.exit_code;
  }
  if (result == kResultRunOver) return exit_code;
  Log(kInfo, kFunction, __LINE__, L"User cancelled installation.");
  return kExitWindowClosed;
}

int RunInstaller(const RoadSeams& seams) {
  // The program starts from a download folder, where anybody's files land:
  // from here on every library comes from System32 only.
  RestrictDllSearchToSystem32();
  // The common controls load uxtheme by name on their first use, whatever
  // the search order says; loaded from System32 first, that copy is the one
  // they find. Kept for the whole run.
  const SystemLibrary uxtheme(L"uxtheme.dll");
  // JSON objects hash their keys with a secret seed (so that crafted keys
  // cannot make every lookup slow). Given here from the system's generator;
  // left to itself the library would load a crypto provider for it.
  uint32_t json_seed = 0;
  if (SystemRandomBytes(&json_seed, sizeof(json_seed)) && json_seed != 0) json_object_seed(json_seed);
  const bool ui_owner = UiEnvironment::ClaimOwnership();
  // The system gives no temporary folder when TEMP is past its length
  // limit: the run then keeps no log file (never one at the drive's root)
  // and ends below, with kExitRunFilesNotReady.
  const std::wstring log_folder = GetTemporaryPath();
  if (!log_folder.empty()) SetLogPath(log_folder + L"\\lite_installer.log");
  Log(kInfo, kFunction, __LINE__, L"-------------------------------------- Start install.");
  Log(kInfo, kFunction, __LINE__, L"Lite installer mode.");

  const ProcessSwitches& switches = ProcessSwitches::Current();
  const bool silent = switches.Has("silent");
  const bool system_level = switches.Has("system-level");
  const std::string brand_name = switches.ValueNarrow("brand-name");

  const std::wstring temporary_path = GetTemporaryPath();
  Log(kInfo, kFunction, __LINE__, L"Temporary path is: " + temporary_path);
  // The package and every file handed to the setup go into a folder of this
  // run's own, never into the temporary folder every process of the user can
  // write: without one the run ends here.
  const std::wstring run_folder = CreateRunFolder(temporary_path);
  if (run_folder.empty()) {
    Log(kInfo, kFunction, __LINE__,
        L"Installer exit with code: " + ToDecimal(static_cast<int64_t>(kExitRunFilesNotReady)));
    UiEnvironment::ShutdownIfOwner(ui_owner);
    return kExitRunFilesNotReady;
  }

  DistribInfoParams distrib_params;
  distrib_params.Load();
  BrandPackageInfo brand(run_folder);
  brand.GetInfo(brand_name);
  // The interface language: the distribution's "lang" parameter wins, even
  // when empty; the international brand otherwise lets the defaults choose
  // unless its document turned language detection off.
  std::string lang_parameter;
  const bool has_lang_parameter = distrib_params.Find("lang", &lang_parameter);
  OverrideInterfaceLanguage(has_lang_parameter ? &lang_parameter : nullptr, brand);
  brand.SetDefaults();

  const bool enough_disk_space = HasEnoughDiskSpace(system_level);

  int exit_code = kExitNoSetupResult;
  bool log_exit_code = true;
  if (silent) {
    exit_code = RunSilentRoad(brand, distrib_params, seams);
  } else if (!enough_disk_space) {
    // The run ends without an exit-code record.
    NoticeDialog notice(static_cast<int>(brand.language_id), IDS_NO_SPACE_TITLE, IDS_NO_SPACE_TEXT,
                        IDS_OK_BUTTON);
    notice.DoModal(GetActiveWindow());
    exit_code = kExitNotEnoughDiskSpace;
    log_exit_code = false;
  } else {
    exit_code = RunWindowedRoad(brand, distrib_params, seams);
  }
  // Whatever the road left behind (the run's own removal already happened
  // where a controller ran).
  if (!KeepRunFolder()) RemoveRunFolder();
  if (log_exit_code) {
    Log(kInfo, kFunction, __LINE__, L"Installer exit with code: " + ToDecimal(static_cast<int64_t>(exit_code)));
  }

  UiEnvironment::ShutdownIfOwner(ui_owner);
  return exit_code;
}

}  // namespace lite_installer
