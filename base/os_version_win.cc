#include "base/os_version.h"

#include <windows.h>

#include <cwchar>

#include "base/unique_handle.h"

namespace {

constexpr LONG kNotComputed = -1;
volatile LONG g_os_version_class = kNotComputed;

// A 4-byte number stored as REG_DWORD or as 4 bytes of REG_BINARY.
bool ReadFourByteNumber(HKEY key, const wchar_t* name, uint32_t* value) {
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof(data);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  if (size != sizeof(data) || (type != REG_DWORD && type != REG_BINARY)) return false;
  *value = data;
  return true;
}

OsVersionClass ComputeOsVersionClass() {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
    major = info.dwMajorVersion;
    minor = info.dwMinorVersion;
    build = info.dwBuildNumber;
  }
  uint32_t registry_major = 0;
  if (major == 6) {
    // Newer systems report 6.2 to programs without a matching manifest entry;
    // the registry holds the real numbers.
    lite_installer::ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion", 0,
                      KEY_READ, key.Receive()) == ERROR_SUCCESS) {
      uint32_t number = 0;
      if (ReadFourByteNumber(key.Get(), L"CurrentMajorVersionNumber", &number)) {
        registry_major = number;
      }
    }
  }
  return lite_installer::ClassifyOsVersion(major, minor, build, registry_major);
}

}  // namespace

OsVersionClass GetOsVersionClass() {
  const LONG known = g_os_version_class;
  if (known != kNotComputed) return known;
  const LONG computed = ComputeOsVersionClass();
  const LONG previous = InterlockedCompareExchange(&g_os_version_class, computed, kNotComputed);
  return previous == kNotComputed ? computed : previous;
}
