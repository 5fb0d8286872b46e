// String values under HKEY_CURRENT_USER\Software\Korvex\KorvexBrowser. The
// key is opened (or created) for each operation and closed again, so every
// call, a read included, leaves the key in existence. Failures are never
// reported: a failed store leaves the registry as it was, a failed read
// returns an empty string. Windows build only.
#ifndef BASE_REGISTRY_STORE_H_
#define BASE_REGISTRY_STORE_H_

#include <string>

namespace lite_installer {

extern const wchar_t kBrowserRegistryKey[];

// Logs the assignment, then writes `text` as REG_SZ (an empty text is stored
// as the terminating NUL alone).
void StoreValueInRegistry(const std::wstring& name, const std::wstring& text);

// Logs the removal, then deletes the value; a missing value is not an error.
void RemoveValueFromRegistry(const std::wstring& name);

// The text of a REG_SZ value (REG_EXPAND_SZ is expanded), or empty when the
// value is missing, of another type, too long or not expandable.
std::wstring ReadStringFromRegistry(const std::wstring& name);

// As ReadStringFromRegistry, but empty when the text names no existing file
// or folder.
std::wstring ReadFilePathFromRegistry(const std::wstring& name);

}  // namespace lite_installer

#endif  // BASE_REGISTRY_STORE_H_
