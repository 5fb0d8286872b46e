// The setup program's switch table, built from this process's switches and
// the run's values. No system calls: the controller gathers the values.
#ifndef INSTALL_SETUP_COMMAND_LINE_H_
#define INSTALL_SETUP_COMMAND_LINE_H_

#include <cstdint>
#include <string>

#include "base/switches.h"

namespace lite_installer {

// Everything the setup's command line carries besides the inherited switches.
struct SetupLaunchValues {
  std::wstring module_path;
  // The progress window's handle, already sign-extended; 0 without a window.
  int64_t window_handle = 0;
  std::string brand_name;  // widened byte by byte
  std::wstring installer_data_path;
  std::wstring clids_path;
  bool brand_package_loaded = false;
  std::wstring brand_package_path;
  bool partner_package_loaded = false;
  std::wstring partner_package_path;
  std::wstring distrib_info_path;  // empty when there are no parameters
  bool make_default = false;
  bool is_ppapi = false;
  bool install_flash = true;
  bool send_stats = false;
  int64_t download_time_us = 0;  // 0 leaves "histogram-download-time" out
};

// A copy of `inherited` with the program replaced by the module and the
// controller's switches set or removed:
// "progress-window", "verbose-logging", "brand-name", "installerdata",
// "clids-file", "brand-package" and "partner-package" (when loaded),
// "distr-info-file" (when known), "make-browser-default-after-import" (only
// when make_default), "do-not-install-flash" (always for a non-PPAPI brand;
// for a PPAPI brand when Flash is declined or the installer itself was given
// it), "send-statistics" (only when send_stats) and "histogram-download-time"
// (whole seconds, when a download took place).
ProcessSwitches BuildSetupSwitches(const ProcessSwitches& inherited, const SetupLaunchValues& values);

// The system's limit on a process's command line, its terminator included.
constexpr size_t kMaxCommandLineChars = 32767;

// True when `command_line` and its terminator fit the system's limit.
bool FitsCommandLineLimit(const std::wstring& command_line);

// The form in which a file's final path (as the system reports it for an
// open handle, "\\?\C:\..." or "\\?\UNC\server\...") is launched
// and shown: the drive or UNC form when that is shorter than the classic
// path limit, the long form unchanged otherwise (and any other text as is).
std::wstring LaunchPathFromFinalPath(const std::wstring& final_path);

}  // namespace lite_installer

#endif  // INSTALL_SETUP_COMMAND_LINE_H_
