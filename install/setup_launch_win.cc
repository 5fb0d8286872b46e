// The launch of the setup program: its command line, the process and its
// exit code.
#include <windows.h>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"
#include "install/installer.h"
#include "install/setup_command_line.h"
#include "base/exit_codes.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/text.h"

using lite_installer::kError;
using lite_installer::kInfo;
using lite_installer::Log;

bool Installer::RunSetup(const std::wstring& module_path) {
  ReportStatisticsImpl(L"cid=72981/path=ZapuskSetupArc");
  const ProcessSwitches switches = BuildSetupCommandLine(module_path);
  return RunProcessAndWait(switches.ToCommandLine(), &setup_exit_code_);
}

ProcessSwitches Installer::BuildSetupCommandLine(const std::wstring& module_path) {
  lite_installer::SetupLaunchValues values;
  values.module_path = module_path;
  // Sign-extended: the setup reads the handle back as a signed number.
  values.window_handle = observer != nullptr ? static_cast<int64_t>(observer->GetWindowHandle()) : 0;
  values.brand_name = brand.brand_name;
  values.installer_data_path = installer_data_path;
  values.clids_path = clids_path;
  values.brand_package_loaded = brand.brand_package_loaded;
  values.brand_package_path = brand.brand_package_path;
  values.partner_package_loaded = brand.partner_package_loaded;
  values.partner_package_path = brand.partner_package_path;
  values.distrib_info_path = distrib_params.json_path;
  values.make_default = make_default;
  values.is_ppapi = brand.IsPpapi();
  values.install_flash = install_flash;
  values.send_stats = send_stats;
  values.download_time_us = download_time;
  return lite_installer::BuildSetupSwitches(ProcessSwitches::Current(), values);
}

bool Installer::RunProcessAndWait(const std::wstring& command_line, int32_t* process_exit_code) {
  constexpr const wchar_t* kFunction = lite_installer::log_tag::kInstallerRunProcessAndWait;
  Log(kInfo, kFunction, __LINE__, L"Run: " + command_line);
  *process_exit_code = lite_installer::kExitNoSetupResult;

  // CreateProcessW may write into the command line: hand it a copy.
  std::wstring writable = command_line;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  const BOOL created = CreateProcessW(nullptr, &writable[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &process);
  // The process exists (or never will): the package need no longer be held.
  held_module_.Close();
  if (!created) {
    Log(kError, kFunction, __LINE__, L"Create process failed.");
    return false;
  }
  lite_installer::ScopedHandle process_handle(process.hProcess);
  lite_installer::ScopedHandle thread_handle(process.hThread);
  Log(kInfo, kFunction, __LINE__,
      L"Process created: " + lite_installer::ToDecimal(static_cast<uint64_t>(process.dwProcessId)));
  if (observer != nullptr) observer->SetProgress(40);
  thread_handle.Close();

  Log(kInfo, kFunction, __LINE__, L"Wait for process finish.");
  if (WaitForSingleObject(process_handle.Get(), INFINITE) != WAIT_OBJECT_0) {
    Log(kError, kFunction, __LINE__, L"Wait process failed.");
    return false;
  }
  DWORD code = 0;
  bool result = true;
  if (!GetExitCodeProcess(process_handle.Get(), &code)) {
    Log(kError, kFunction, __LINE__, L"Get setup process exit code failed.");
    result = false;
  } else {
    *process_exit_code = static_cast<int32_t>(code);
  }
  Log(kInfo, kFunction, __LINE__,
      L"Setup process exit with code: " + lite_installer::ToDecimal(static_cast<int64_t>(*process_exit_code)));
  return result;
}
