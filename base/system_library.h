// Loads system DLLs from the System32 folder only. A web installer starts from
// the download folder, where anybody's files land, so no DLL it uses may be
// found by the ordinary search (program folder first). Windows build only.
#ifndef BASE_SYSTEM_LIBRARY_H_
#define BASE_SYSTEM_LIBRARY_H_

#include <windows.h>

#include "base/unique_handle.h"

namespace lite_installer {

// Makes System32 the only folder the process's later library loads search,
// through SetDefaultDllDirectories looked up at run time. Returns false where
// the system lacks it (Windows 7 without its loader update); SystemLibrary
// then loads by full System32 path, which is equally safe for its own loads.
// Call it as the first statement of the program.
bool RestrictDllSearchToSystem32();

// The export `name` of `module`, typed as `Function`; null when `module` is
// null or lacks it. For modules kept for the process's lifetime.
template <typename Function>
Function* LookupExport(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Owns one system DLL loaded from System32 (never from the program's folder
// or the current folder) and frees it on destruction.
class SystemLibrary {
 public:
  // `file_name` is a bare name such as L"wininet.dll". A failure leaves the
  // owner empty and the thread's last error set by the loader.
  explicit SystemLibrary(const wchar_t* file_name);

  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  bool IsLoaded() const { return module_.IsValid(); }
  HMODULE Get() const { return module_.Get(); }

  // The exported function `name`, typed as `Function` (for example
  // `decltype(InternetOpenW)`, which keeps the calling convention), or null
  // when the DLL is not loaded or lacks the export.
  template <typename Function>
  Function* Lookup(const char* name) const {
    return LookupExport<Function>(module_.Get(), name);
  }

 private:
  ScopedModule module_;
};

// Loads `file_name` from System32 as SystemLibrary does, for callers that keep
// the module themselves. Returns null on failure.
HMODULE LoadSystemLibrary(const wchar_t* file_name);

}  // namespace lite_installer

#endif  // BASE_SYSTEM_LIBRARY_H_
