#include "base/environment.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cwchar>

#include "base/sized_call.h"
#include "base/unique_handle.h"

using lite_installer::ScopedFile;

std::wstring GetTemporaryPath() {
  return lite_installer::TextFromSizedCall(
      [](wchar_t* buffer, uint32_t capacity) { return static_cast<uint32_t>(GetTempPathW(capacity, buffer)); });
}

std::wstring GetShellFolderPath(ShellFolder folder) {
  // FOLDERID_RoamingAppData, FOLDERID_LocalAppData, FOLDERID_ProgramFiles.
  static const GUID kKnownFolders[] = {
      {0x3EB685DB, 0x65F9, 0x4CF6, {0xA0, 0x3A, 0xE3, 0xEF, 0x65, 0x72, 0x9F, 0x3D}},
      {0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}},
      {0x905E63B6, 0xC1BF, 0x494E, {0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3, 0xD2, 0x1A}}};
  static const int kFolderIds[] = {CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_PROGRAM_FILES};
  const size_t index = static_cast<size_t>(folder);
  // From Vista on the shell allocates the path, whatever its length; it is
  // looked up at run time because earlier systems lack it.
  using KnownFolderFunction = HRESULT WINAPI(const GUID&, DWORD, HANDLE, wchar_t**);
  HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
  auto* known_folder = shell32 == nullptr ? nullptr
                                          : reinterpret_cast<KnownFolderFunction*>(reinterpret_cast<void*>(
                                                GetProcAddress(shell32, "SHGetKnownFolderPath")));
  if (known_folder != nullptr) {
    wchar_t* path = nullptr;
    const HRESULT result = known_folder(kKnownFolders[index], 0, nullptr, &path);
    std::wstring text = SUCCEEDED(result) && path != nullptr ? path : L"";
    CoTaskMemFree(path);
    return text;
  }
  // Before Vista these folders cannot be longer than MAX_PATH: the call's
  // buffer is that size by its contract.
  std::wstring buffer(MAX_PATH, L'\0');
  if (FAILED(SHGetFolderPathW(nullptr, kFolderIds[index], nullptr, SHGFP_TYPE_CURRENT, &buffer[0]))) {
    return std::wstring();
  }
  buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
  return buffer;
}

bool SaveBytesToFile(const std::wstring& path, const std::string& bytes) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  DWORD written = 0;
  if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    return false;
  }
  return written == bytes.size();
}

std::string LoadFileBytes(const std::wstring& path) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return std::string();
  LARGE_INTEGER size = {};
  // One read of a 32-bit length: anything larger is not a file this
  // installer reads whole.
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return std::string();
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size())) {
    return std::string();
  }
  return bytes;
}

bool LoadSmallFile(const std::wstring& path, size_t max_bytes, std::string* bytes) {
  bytes->clear();
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid() || max_bytes >= 0x7FFFFFFF) return false;
  // One byte more than allowed, so that a longer file is told apart whatever
  // its size said when it was opened (another process may be writing it).
  std::string buffer(max_bytes + 1, '\0');
  DWORD read = 0;
  if (!ReadFile(file.Get(), &buffer[0], static_cast<DWORD>(buffer.size()), &read, nullptr) || read > max_bytes) {
    return false;
  }
  buffer.resize(read);
  *bytes = buffer;
  return true;
}
