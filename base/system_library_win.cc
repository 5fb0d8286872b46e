#include "base/system_library.h"

#include <string>

#include "base/sized_call.h"

namespace lite_installer {
namespace {

using SetDefaultDllDirectoriesFunction = BOOL WINAPI(DWORD);

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// kernel32 is always loaded and always a known DLL, so looking it up by name
// is safe.
SetDefaultDllDirectoriesFunction* FindSetDefaultDllDirectories() {
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  return reinterpret_cast<SetDefaultDllDirectoriesFunction*>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
}

}  // namespace

bool RestrictDllSearchToSystem32() {
  SetDefaultDllDirectoriesFunction* set_directories = FindSetDefaultDllDirectories();
  return set_directories != nullptr && set_directories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

HMODULE LoadSystemLibrary(const wchar_t* file_name) {
  // Where the loader knows LOAD_LIBRARY_SEARCH_SYSTEM32 (it ships with
  // SetDefaultDllDirectories), it searches System32 alone, dependencies
  // included.
  if (FindSetDefaultDllDirectories() != nullptr) {
    return LoadLibraryExW(file_name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  // Otherwise the full path: the DLL itself can come from nowhere else, and
  // LOAD_WITH_ALTERED_SEARCH_PATH starts its dependencies' search in System32.
  std::wstring path = TextFromSizedCall(
      [](wchar_t* buffer, uint32_t capacity) { return static_cast<uint32_t>(GetSystemDirectoryW(buffer, capacity)); });
  if (path.empty()) return nullptr;
  path += L'\\';
  path += file_name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

SystemLibrary::SystemLibrary(const wchar_t* file_name)
    : module_(LoadSystemLibrary(file_name)) {}

}  // namespace lite_installer
