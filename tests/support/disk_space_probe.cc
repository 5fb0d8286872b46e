// Prints the installer's free-space decision for the integration tests:
//   disk_space_probe.exe [--system] [--log PATH]     prints "enough=0" or "enough=1"
#include <windows.h>

#include <cstdio>
#include <string>

#include "install/disk_space.h"
#include "base/log.h"

int wmain(int argc, wchar_t** argv) {
  bool system_level = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--system") system_level = true;
    else if (arg == L"--log" && i + 1 < argc) lite_installer::SetLogPath(argv[++i]);
  }
  std::printf("enough=%d\n", lite_installer::HasEnoughDiskSpace(system_level) ? 1 : 0);
  std::fflush(stdout);
  return 0;
}
