#include "base/run_folder.h"

#include <windows.h>
#include <sddl.h>
#include <wincrypt.h>

#include <vector>

#include "base/environment.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/system_random.h"

namespace lite_installer {

namespace {

constexpr const wchar_t* kFunction = log_tag::kCreateRunFolder;
constexpr int kRandomBytes = 16;
constexpr int kCreateAttempts = 4;
constexpr wchar_t kFolderPrefix[] = L"lite-";
constexpr DWORD kDigestReadBytes = 64 * 1024;
constexpr DWORD kSha256Bytes = 32;

// The folder is made on the entry's thread; the files are written, held
// and released by the thread that runs the controller's steps (the worker on
// the windowed road); the entry removes what is left after that thread ended.
std::wstring* g_run_folder = nullptr;
struct HeldFile {
  std::wstring path;
  ScopedFile file;
};
std::vector<HeldFile>* g_held_files = nullptr;
// Every file SaveAndHoldFile created, held or not: the only files this
// process may replace or delete.
std::vector<std::wstring>* g_created_files = nullptr;
bool g_handed_file_failed = false;

bool WeCreated(const std::wstring& path) {
  if (g_created_files == nullptr) return false;
  for (const std::wstring& created : *g_created_files) {
    if (lstrcmpiW(created.c_str(), path.c_str()) == 0) return true;
  }
  return false;
}

// Records the failure to write `path` (with the system's reason) and
// returns false.
bool HandedFileFailed(const std::wstring& path, const wchar_t* what) {
  const DWORD error = GetLastError();
  g_handed_file_failed = true;
  SetLastError(error);
  Log(kError, log_tag::kSaveAndHoldFile, __LINE__, std::wstring(what) + path);
  return false;
}

// Lets go of an earlier hold on `path`, so this process can write it again.
void ReleaseHeldFile(const std::wstring& path) {
  if (g_held_files == nullptr) return;
  for (auto it = g_held_files->begin(); it != g_held_files->end(); ++it) {
    if (lstrcmpiW(it->path.c_str(), path.c_str()) == 0) {
      g_held_files->erase(it);
      return;
    }
  }
}

bool RandomHex(std::wstring* text) {
  BYTE bytes[kRandomBytes] = {};
  if (!SystemRandomBytes(bytes, sizeof(bytes))) return false;
  static const wchar_t kDigits[] = L"0123456789abcdef";
  text->clear();
  for (BYTE byte : bytes) {
    *text += kDigits[byte >> 4];
    *text += kDigits[byte & 15];
  }
  return true;
}

// The textual SID of the process's user, or empty.
std::wstring UserSid() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return std::wstring();
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  if (size == 0 || size > 1024) return std::wstring();
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return std::wstring();
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return std::wstring();
  ScopedLocalMemory owner(text);
  return text;
}

// Full control for the user, SYSTEM and the Administrators, inherited by
// everything created inside, and nothing inherited from the parent.
ScopedLocalMemory PrivateDescriptor() {
  const std::wstring user = UserSid();
  if (user.empty()) return ScopedLocalMemory();
  const std::wstring sddl = L"D:P(A;OICI;FA;;;" + user + L")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    return ScopedLocalMemory();
  }
  return ScopedLocalMemory(descriptor);
}

bool HeldFileHolds(HANDLE file, const std::string& bytes) {
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file, &size) || static_cast<uint64_t>(size.QuadPart) != bytes.size()) return false;
  std::string content(bytes.size(), '\0');
  DWORD read = 0;
  if (!content.empty() &&
      (!ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr) || read != content.size())) {
    return false;
  }
  return content == bytes;
}

}  // namespace

std::wstring CreateRunFolder(const std::wstring& temporary_path) {
  if (!temporary_path.empty()) {
    ScopedLocalMemory descriptor = PrivateDescriptor();
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.Get(), FALSE};
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
      std::wstring name;
      if (!RandomHex(&name)) break;
      const std::wstring path = temporary_path + kFolderPrefix + name;
      // Fails on an existing folder: a folder someone made beforehand is
      // never taken for ours.
      if (CreateDirectoryW(path.c_str(), descriptor.IsValid() ? &attributes : nullptr)) {
        delete g_run_folder;
        g_run_folder = new std::wstring(path + L"\\");
        return *g_run_folder;
      }
    }
  }
  Log(kError, kFunction, __LINE__, L"Cannot create the run folder in " + temporary_path);
  return std::wstring();
}

std::wstring RunFolderPath() { return g_run_folder != nullptr ? *g_run_folder : std::wstring(); }

bool RemoveRunFolder() {
  ReleaseHeldFiles();
  if (g_created_files != nullptr) {
    for (const std::wstring& path : *g_created_files) DeleteFileW(path.c_str());
    delete g_created_files;
    g_created_files = nullptr;
  }
  g_handed_file_failed = false;
  if (g_run_folder == nullptr) return true;
  if (!RemoveDirectoryW(g_run_folder->c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    Log(kWarning, kFunction, __LINE__, L"Cannot remove the run folder " + *g_run_folder);
    return false;
  }
  delete g_run_folder;
  g_run_folder = nullptr;
  return true;
}

ScopedFile OpenHeldFile(const std::wstring& path) {
  return ScopedFile(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool SaveAndHoldFile(const std::wstring& path, const std::string& bytes) {
  ReleaseHeldFile(path);
  // Only a file this process created may be replaced; anything else at the
  // path (a planted file, a link) makes the creation below fail.
  if (WeCreated(path)) DeleteFileW(path.c_str());
  {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return HandedFileFailed(path, L"Cannot create the file new: ");
    if (g_created_files == nullptr) g_created_files = new std::vector<std::wstring>();
    if (!WeCreated(path)) g_created_files->push_back(path);
    DWORD written = 0;
    if (bytes.size() > 0x7FFFFFFF ||
        (!bytes.empty() && (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                       nullptr) || written != bytes.size()))) {
      return HandedFileFailed(path, L"Cannot write the file: ");
    }
  }
  // Between the close and the hold another process may open the file; a
  // writer makes the hold fail, and any change shows in the read-back.
  ScopedFile held = OpenHeldFile(path);
  if (!held.IsValid()) return HandedFileFailed(path, L"Cannot hold the file: ");
  if (!HeldFileHolds(held.Get(), bytes)) {
    SetLastError(ERROR_FILE_INVALID);
    return HandedFileFailed(path, L"The file changed before it was held: ");
  }
  if (g_held_files == nullptr) g_held_files = new std::vector<HeldFile>();
  g_held_files->push_back(HeldFile{path, std::move(held)});
  return true;
}

bool AllHandedFilesHeld() { return !g_handed_file_failed; }

void ReleaseHeldFiles() {
  delete g_held_files;
  g_held_files = nullptr;
}

bool FileDigest(void* file, std::string* digest) {
  digest->clear();
  LARGE_INTEGER start = {};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) return false;
  HCRYPTHASH hash = 0;
  bool ok = CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash) != FALSE;
  std::vector<BYTE> buffer(kDigestReadBytes);
  while (ok) {
    DWORD read = 0;
    if (!ReadFile(file, buffer.data(), kDigestReadBytes, &read, nullptr)) ok = false;
    if (!ok || read == 0) break;
    ok = CryptHashData(hash, buffer.data(), read, 0) != FALSE;
  }
  BYTE value[kSha256Bytes] = {};
  DWORD value_size = kSha256Bytes;
  ok = ok && CryptGetHashParam(hash, HP_HASHVAL, value, &value_size, 0) && value_size == kSha256Bytes;
  if (hash != 0) CryptDestroyHash(hash);
  CryptReleaseContext(provider, 0);
  if (ok) digest->assign(reinterpret_cast<const char*>(value), value_size);
  return ok;
}

bool IsSameFile(void* first, void* second) {
  BY_HANDLE_FILE_INFORMATION a = {};
  BY_HANDLE_FILE_INFORMATION b = {};
  if (!GetFileInformationByHandle(first, &a) || !GetFileInformationByHandle(second, &b)) return false;
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace lite_installer
