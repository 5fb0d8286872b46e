// The parts of KorvexTrustVerifier that reach the system: reading the signed
// description out of the module and the Authenticode verification.
#include <windows.h>

#include <string>

#include "base/log.h"
#include "base/log_tags.h"
#include "base/text.h"
#include "base/unique_handle.h"
#include "trust/base64.h"
#include "trust/builtin_keys.h"
#include "trust/korvex_trust_verifier.h"
#include "trust/pe_resources.h"
#include "trust/signature_verifier.h"
#include "trust/win_verify_trust_service.h"

namespace lite_installer {

namespace {

constexpr const wchar_t* kGetTrustJsonFunction = log_tag::kKorvexTrustVerifierGetTrustJsonFromModule;

// Reads the module through a handle with positioned reads. They move the
// handle's file pointer; the next user of the handle (the system's
// verification) is given the file rewound.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(HANDLE file) : file_(file) {
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file_, &size) && size.QuadPart > 0) size_ = static_cast<uint64_t>(size.QuadPart);
  }
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, void* out, size_t length) const override {
    if (offset > size_ || length > size_ - offset || length > 0xFFFFFFFFu) return false;
    if (length == 0) return true;
    OVERLAPPED position = {};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ReadFile(file_, out, static_cast<DWORD>(length), &read, &position) && read == length;
  }

 private:
  HANDLE file_;
  uint64_t size_ = 0;
};

}  // namespace

std::string KorvexTrustVerifier::GetTrustJsonFromModule(const std::wstring& module_path) {
  ScopedFile file(CreateFileW(module_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return GetTrustJsonFromModule(module_path, file.Get());
}

std::string KorvexTrustVerifier::GetTrustJsonFromModule(const std::wstring& module_path, void* module_file) {
  // The module is only read as bytes, never loaded: its code does not run,
  // its imports are not resolved and libraries planted beside it stay inert.
  // Every offset and size it declares is checked before anything is copied,
  // and a resource that does not fit counts as missing.
  if (module_file == nullptr || module_file == INVALID_HANDLE_VALUE) {
    Log(kError, kGetTrustJsonFunction, __LINE__, L"GetTrustJsonFromModule library isn't valid. " + module_path);
    return std::string();
  }
  FileByteSource source(static_cast<HANDLE>(module_file));
  PeResourceReader module(source);
  if (!module.IsValid()) {
    SetLastError(ERROR_BAD_EXE_FORMAT);
    Log(kError, kGetTrustJsonFunction, __LINE__, L"GetTrustJsonFromModule library isn't valid. " + module_path);
    return std::string();
  }

  std::string signature_resource;
  if (!module.Read("SIGNATURE_DAT", "SIGNATURE.DAT", &signature_resource) || signature_resource.size() <= 2) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    Log(kError, kGetTrustJsonFunction, __LINE__, L"Cannot find resource SIGNATURE_DAT");
    return std::string();
  }
  std::string trust_json;
  if (!module.Read("TRUSTED_JSON", "TRUSTED.JSON", &trust_json)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    Log(kError, kGetTrustJsonFunction, __LINE__, L"Cannot find resource TRUSTED_JSON");
    return std::string();
  }

  const uint16_t key_id = static_cast<uint16_t>(static_cast<unsigned char>(signature_resource[0]) |
                                                (static_cast<unsigned char>(signature_resource[1]) << 8));
  const std::wstring missing_key = L"Cannot find key " + ToDecimal(static_cast<uint64_t>(key_id));
  const BuiltInKey* key = FindBuiltInKey(key_id);
  if (key == nullptr) {
    Log(kError, kGetTrustJsonFunction, __LINE__, missing_key);
    return std::string();
  }
  std::string public_key;
  if (!StrictBase64Decode(key->public_key, &public_key)) {
    Log(kError, kGetTrustJsonFunction, __LINE__, L"Base64Decode error");
    return std::string();
  }
  if (public_key.empty()) {
    Log(kError, kGetTrustJsonFunction, __LINE__, missing_key);
    return std::string();
  }

  SignatureVerifier verifier;
  const auto* signature = reinterpret_cast<const unsigned char*>(signature_resource.data()) + 2;
  if (!verifier.Verify(signature, signature_resource.size() - 2,
                       reinterpret_cast<const unsigned char*>(public_key.data()), public_key.size(),
                       reinterpret_cast<const unsigned char*>(trust_json.data()), trust_json.size())) {
    Log(kError, kGetTrustJsonFunction, __LINE__, L"Verify error");
    return std::string();
  }
  return trust_json;
}

bool KorvexTrustVerifier::VerifyModule(const std::wstring& module_path, void* module_file,
                                       bool cache_only_revocation) {
  Log(kInfo, log_tag::kKorvexTrustVerifierVerifyModule, __LINE__, L"Verify module.");
  WinVerifyTrustService service(module_path, static_cast<HANDLE>(module_file), cache_only_revocation);
  return VerifyWithService(&service);
}

}  // namespace lite_installer
