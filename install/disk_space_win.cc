#include "install/disk_space.h"

#include <windows.h>

#include "base/environment.h"
#include "base/log.h"
#include "base/log_tags.h"

namespace lite_installer {

bool HasEnoughDiskSpace(bool system_level) {
  const wchar_t* const kTag = log_tag::kHasEnoughDiskSpace;
  const std::wstring folder =
      GetShellFolderPath(system_level ? ShellFolder::kProgramFiles : ShellFolder::kLocalAppData);
  if (folder.empty()) {
    Log(kInfo, kTag, __LINE__, L"SHGetFolderPath failed");
    return true;
  }
  ULARGE_INTEGER available = {};
  if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) {
    Log(kInfo, kTag, __LINE__, L"GetDiskFreeSpaceEx failed");
    return true;
  }
  if (IsEnoughFreeSpace(available.QuadPart)) return true;
  Log(kInfo, kTag, __LINE__, L"There is not enough disk space to install browser");
  return false;
}

}  // namespace lite_installer
