#include "install/disk_space.h"

#include <windows.h>
#include <shlobj.h>

#include "base/log.h"
#include "base/log_tags.h"

namespace lite_installer {

bool HasEnoughDiskSpace(bool system_level) {
  const wchar_t* const kTag = log_tag::kHasEnoughDiskSpace;
  wchar_t folder[MAX_PATH] = {};
  const int csidl = system_level ? CSIDL_PROGRAM_FILES : CSIDL_LOCAL_APPDATA;
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    Log(kInfo, kTag, __LINE__, L"SHGetFolderPath failed");
    return true;
  }
  ULARGE_INTEGER available = {};
  if (!GetDiskFreeSpaceExW(folder, &available, nullptr, nullptr)) {
    Log(kInfo, kTag, __LINE__, L"GetDiskFreeSpaceEx failed");
    return true;
  }
  if (IsEnoughFreeSpace(available.QuadPart)) return true;
  Log(kInfo, kTag, __LINE__, L"There is not enough disk space to install browser");
  return false;
}

}  // namespace lite_installer
