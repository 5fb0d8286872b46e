#include "base/run_folder.h"

#include <windows.h>
#include <sddl.h>
#include <wincrypt.h>

#include <vector>

#include "base/environment.h"
#include "base/log.h"
#include "base/log_tags.h"

namespace lite_installer {

namespace {

constexpr const wchar_t* kFunction = log_tag::kCreateRunFolder;
constexpr int kRandomBytes = 16;
constexpr int kCreateAttempts = 4;
constexpr int kHoldAttempts = 3;
constexpr wchar_t kFolderPrefix[] = L"lite-";

// Touched on the entry's thread while it prepares the run, and released by
// the thread that ran the setup after every file was written.
std::wstring* g_run_folder = nullptr;
struct HeldFile {
  std::wstring path;
  ScopedFile file;
};
std::vector<HeldFile>* g_held_files = nullptr;

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
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) return false;
  BYTE bytes[kRandomBytes] = {};
  const bool ok = CryptGenRandom(provider, sizeof(bytes), bytes) != FALSE;
  CryptReleaseContext(provider, 0);
  if (!ok) return false;
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
  if (temporary_path.empty()) return std::wstring();
  ScopedLocalMemory descriptor = PrivateDescriptor();
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.Get(), FALSE};
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::wstring name;
    if (!RandomHex(&name)) break;
    const std::wstring path = temporary_path + kFolderPrefix + name;
    // Fails on an existing folder: a folder someone made beforehand is never
    // taken for ours.
    if (CreateDirectoryW(path.c_str(), descriptor.IsValid() ? &attributes : nullptr)) {
      delete g_run_folder;
      g_run_folder = new std::wstring(path + L"\\");
      return *g_run_folder;
    }
  }
  Log(kWarning, kFunction, __LINE__, L"Cannot create the run folder in " + temporary_path);
  return std::wstring();
}

std::wstring RunFolderPath() { return g_run_folder != nullptr ? *g_run_folder : GetTemporaryPath(); }

ScopedFile OpenHeldFile(const std::wstring& path) {
  return ScopedFile(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool SaveAndHoldFile(const std::wstring& path, const std::string& bytes) {
  ReleaseHeldFile(path);
  for (int attempt = 0; attempt < kHoldAttempts; ++attempt) {
    if (!SaveBytesToFile(path, bytes)) return false;
    ScopedFile held = OpenHeldFile(path);
    if (held.IsValid() && HeldFileHolds(held.Get(), bytes)) {
      if (g_held_files == nullptr) g_held_files = new std::vector<HeldFile>();
      g_held_files->push_back(HeldFile{path, std::move(held)});
      return true;
    }
  }
  return false;
}

void ReleaseHeldFiles() {
  delete g_held_files;
  g_held_files = nullptr;
}

}  // namespace lite_installer
