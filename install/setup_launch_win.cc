// The launch of the setup program: its command line, the process and its
// exit code.
#include <windows.h>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"
#include "install/installer.h"
#include "install/setup_command_line.h"
#include "base/run_folder.h"
#include "base/exit_codes.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/text.h"

using lite_installer::kError;
using lite_installer::kInfo;
using lite_installer::Log;

namespace {

// The longest image name the system reports, its terminator included.
constexpr DWORD kMaxImageNameChars = 32768;
// How long a refused process is given to end after it was terminated.
constexpr DWORD kTerminateWaitMs = 5000;

// The path of the file behind `file` as the system resolves it now (folder
// links and junctions followed), in its launch form; empty on failure.
std::wstring FinalPathOf(HANDLE file) {
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  const DWORD needed = GetFinalPathNameByHandleW(file, nullptr, 0, kFlags);
  if (needed == 0) return std::wstring();
  std::wstring path(needed, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(file, &path[0], needed, kFlags);
  if (length == 0 || length >= needed) return std::wstring();
  path.resize(length);
  return lite_installer::LaunchPathFromFinalPath(path);
}

// True when the image of `process` is the file behind `held`: the file the
// system names as its image has the held file's volume and file index.
bool ImageIsHeldFile(HANDLE process, HANDLE held) {
  std::wstring name(kMaxImageNameChars, L'\0');
  DWORD length = kMaxImageNameChars;
  if (!QueryFullProcessImageNameW(process, 0, &name[0], &length) || length >= kMaxImageNameChars) return false;
  name.resize(length);
  // Attributes only: this opening neither needs nor disturbs the hold.
  lite_installer::ScopedFile image(CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return image.IsValid() && lite_installer::IsSameFile(image.Get(), held);
}

// The setup's current folder: the run's folder, System32 without one; never
// the installer's own (usually the download folder), from which the setup
// would load a DLL it asks for by bare name.
std::wstring StartFolder(const std::wstring& run_folder) {
  if (!run_folder.empty()) return run_folder;
  const UINT needed = GetSystemDirectoryW(nullptr, 0);
  std::wstring folder(needed, L'\0');
  const UINT length = needed == 0 ? 0 : GetSystemDirectoryW(&folder[0], needed);
  if (length == 0 || length >= needed) return std::wstring(L"C:\\");
  folder.resize(length);
  return folder;
}

}  // namespace

bool Installer::RunSetup(const std::wstring& module_path) {
  constexpr const wchar_t* kFunction = lite_installer::log_tag::kInstallerRunProcessAndWait;
  ReportStatisticsImpl(L"cid=72981/path=ZapuskSetupArc");
  // The program started is the held file wherever its path leads by now.
  std::wstring program = module_path;
  if (held_module_.IsValid()) {
    program = FinalPathOf(held_module_.Get());
    if (program.empty()) {
      Log(kError, kFunction, __LINE__, L"Cannot ask the held package for its path: " + module_path);
      launch_refusal_ = lite_installer::RunOutcome::kNotTrusted;
      return false;
    }
  }
  const ProcessSwitches switches = BuildSetupCommandLine(program);
  const std::wstring command_line = switches.ToCommandLine();
  if (!lite_installer::FitsCommandLineLimit(command_line)) {
    SetLastError(ERROR_BAD_LENGTH);
    Log(kError, kFunction, __LINE__,
        L"The setup's command line is too long: " +
            lite_installer::ToDecimal(static_cast<uint64_t>(command_line.size() + 1)) +
            L" characters with its terminator, the system allows " +
            lite_installer::ToDecimal(static_cast<uint64_t>(lite_installer::kMaxCommandLineChars)) +
            L". No setup was started.");
    launch_refusal_ = lite_installer::RunOutcome::kCommandLineTooLong;
    return false;
  }
  return RunProcessAndWait(program, command_line, &setup_exit_code_);
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

bool Installer::RunProcessAndWait(const std::wstring& program_path, const std::wstring& command_line,
                                  int32_t* process_exit_code) {
  constexpr const wchar_t* kFunction = lite_installer::log_tag::kInstallerRunProcessAndWait;
  Log(kInfo, kFunction, __LINE__, L"Run: " + command_line);
  *process_exit_code = lite_installer::kExitNoSetupResult;

  // CreateProcessW may write into the command line: hand it a copy.
  std::wstring writable = command_line;
  const std::wstring start_folder = StartFolder(temp_dir);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  // Suspended: nothing of the program runs before its image was checked.
  const BOOL created = CreateProcessW(program_path.c_str(), &writable[0], nullptr, nullptr, FALSE,
                                      CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, start_folder.c_str(), &startup,
                                      &process);
  if (!created) {
    // The record ends with the system's reason (the log adds it to errors).
    Log(kError, kFunction, __LINE__, L"Create process failed.");
    return false;
  }
  lite_installer::ScopedHandle process_handle(process.hProcess);
  lite_installer::ScopedHandle thread_handle(process.hThread);
  if (held_module_.IsValid() && !ImageIsHeldFile(process_handle.Get(), held_module_.Get())) {
    TerminateProcess(process_handle.Get(), lite_installer::kExitNotTrusted);
    WaitForSingleObject(process_handle.Get(), kTerminateWaitMs);
    SetLastError(ERROR_FILE_INVALID);
    Log(kError, kFunction, __LINE__, L"The started program is not the verified package: " + program_path);
    launch_refusal_ = lite_installer::RunOutcome::kNotTrusted;
    return false;
  }
  if (ResumeThread(thread_handle.Get()) == static_cast<DWORD>(-1)) {
    Log(kError, kFunction, __LINE__, L"Cannot resume the setup's process.");
    TerminateProcess(process_handle.Get(), lite_installer::kExitNoSetupResult);
    return false;
  }
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
