#include "ui/string_table.h"

#include <windows.h>

#include "ui/ui_environment.h"

namespace lite_installer {

std::wstring LoadStringIn(int id, int language_id) {
  if (id < 0) return std::wstring();
  HINSTANCE module = UiEnvironment::ModuleInstance();
  const int block = id / 16 + 1;
  HRSRC resource = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(block),
                                   static_cast<WORD>(language_id));
  if (resource == nullptr) return std::wstring();
  const DWORD size = SizeofResource(module, resource);
  HGLOBAL loaded = LoadResource(module, resource);
  const WCHAR* entry = loaded != nullptr ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
  if (entry == nullptr) return std::wstring();
  // Sixteen entries, each a length followed by that many code units; every
  // step stays inside the resource even if it is malformed.
  const WCHAR* end = entry + size / sizeof(WCHAR);
  for (int index = 0; index < id % 16; ++index) {
    if (entry >= end) return std::wstring();
    entry += 1 + *entry;
  }
  if (entry >= end || entry + 1 + *entry > end) return std::wstring();
  return std::wstring(entry + 1, *entry);
}

}  // namespace lite_installer
