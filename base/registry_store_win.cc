#include "base/registry_store.h"

#include <windows.h>

#include "base/log.h"
#include "base/log_tags.h"
#include "base/sized_call.h"
#include "base/unique_handle.h"

namespace lite_installer {

const wchar_t kBrowserRegistryKey[] = L"Software\\Korvex\\KorvexBrowser";

namespace {

constexpr DWORD kValueBufferBytes = 2048;
const std::wstring kKeyDisplay = std::wstring(L"HKEY_CURRENT_USER\\") + kBrowserRegistryKey + L"\\";

ScopedRegKey OpenBrowserKey(REGSAM access) {
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kBrowserRegistryKey, 0, access, key.Receive()) !=
      ERROR_SUCCESS) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kBrowserRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                    access, nullptr, key.Receive(), nullptr);
  }
  return key;
}

std::wstring ReadValue(const std::wstring& name) {
  ScopedRegKey key = OpenBrowserKey(KEY_READ);
  if (!key.IsValid()) return std::wstring();
  // One extra terminator beyond the documented buffer, so that data filling
  // all 2,048 bytes without its own NUL still ends inside our memory.
  wchar_t data[kValueBufferBytes / sizeof(wchar_t) + 1] = {};
  DWORD type = 0;
  DWORD size = kValueBufferBytes;
  if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data),
                       &size) != ERROR_SUCCESS) {
    return std::wstring();
  }
  const std::wstring text(data, wcsnlen(data, size / sizeof(wchar_t)));
  if (type == REG_SZ) return text;
  if (type != REG_EXPAND_SZ) return std::wstring();
  // Sized by the system's answer (terminator included); a text that grew
  // between the two calls is refused rather than cut.
  const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0 || needed > kLongestSystemTextChars) return std::wstring();
  std::wstring expanded(needed, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(text.c_str(), &expanded[0], needed);
  if (written == 0 || written > needed) return std::wstring();
  expanded.resize(written - 1);
  return expanded;
}

}  // namespace

void StoreValueInRegistry(const std::wstring& name, const std::wstring& text) {
  LOG_INFO(log_tag::kStoreValueInRegistry, kKeyDisplay + name + L" = " + text);
  ScopedRegKey key = OpenBrowserKey(KEY_WRITE);
  if (!key.IsValid()) return;
  RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RemoveValueFromRegistry(const std::wstring& name) {
  LOG_INFO(log_tag::kRemoveValueFromRegistry, L"Remove " + kKeyDisplay + name);
  ScopedRegKey key = OpenBrowserKey(KEY_WRITE);
  if (!key.IsValid()) return;
  RegDeleteValueW(key.Get(), name.c_str());
}

std::wstring ReadStringFromRegistry(const std::wstring& name) {
  const std::wstring text = ReadValue(name);
  LOG_INFO(log_tag::kReadStringFromRegistry,
           L"Read " + kKeyDisplay + name + L" which is \"" + text + L"\"");
  return text;
}

std::wstring ReadFilePathFromRegistry(const std::wstring& name) {
  std::wstring text = ReadValue(name);
  if (GetFileAttributesW(text.c_str()) == INVALID_FILE_ATTRIBUTES) text.clear();
  LOG_INFO(log_tag::kReadFilePathFromRegistry,
           L"Read " + kKeyDisplay + name + L" which is \"" + text + L"\"");
  return text;
}

}  // namespace lite_installer
