// The parts of KorvexTrustVerifier that reach the system: reading the signed
// description out of the module and the Authenticode verification.
#include <windows.h>

#include <string>

#include "installer/log.h"
#include "installer/text.h"
#include "installer/unique_handle.h"
#include "trust/base64.h"
#include "trust/builtin_keys.h"
#include "trust/korvex_trust_verifier.h"
#include "trust/signature_verifier.h"
#include "trust/win_verify_trust_service.h"

namespace lite_installer {

namespace {

constexpr wchar_t kGetTrustJsonFunction[] = L"KorvexTrustVerifier::GetTrustJsonFromModule";

// Opens the module's image for its resources only. A module that is not
// trusted yet must not run: loading it as data maps no code, runs no entry
// point and resolves no imports, so libraries planted beside it stay inert,
// and the process's current folder is left alone.
HMODULE OpenModuleResources(const std::wstring& module_path) {
  HMODULE module = LoadLibraryExW(module_path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  // Systems before Vista know only the data-file flag.
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    module = LoadLibraryExW(module_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  return module;
}

// Copies resource `name` of `type`; empty when it is missing.
std::string ReadResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
  HRSRC resource = FindResourceW(module, name, type);
  if (resource == nullptr) return std::string();
  const DWORD size = SizeofResource(module, resource);
  HGLOBAL loaded = LoadResource(module, resource);
  if (loaded == nullptr || size == 0) return std::string();
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) return std::string();
  return std::string(static_cast<const char*>(bytes), size);
}

}  // namespace

std::string KorvexTrustVerifier::GetTrustJsonFromModule(const std::wstring& module_path) {
  ScopedModule module(OpenModuleResources(module_path));
  if (!module.IsValid()) {
    Log(kError, kGetTrustJsonFunction, __LINE__, L"GetTrustJsonFromModule library isn't valid. " + module_path);
    return std::string();
  }

  const std::string signature_resource = ReadResourceBytes(module.Get(), L"SIGNATURE.DAT", L"SIGNATURE_DAT");
  if (signature_resource.size() <= 2) {
    Log(kError, kGetTrustJsonFunction, __LINE__, L"Cannot find resource SIGNATURE_DAT");
    return std::string();
  }
  const std::string trust_json = ReadResourceBytes(module.Get(), L"TRUSTED.JSON", L"TRUSTED_JSON");
  if (trust_json.empty()) {
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

bool KorvexTrustVerifier::VerifyModule(const std::wstring& module_path, bool cache_only_revocation) {
  Log(kInfo, L"KorvexTrustVerifier::VerifyModule", __LINE__, L"Verify module.");
  WinVerifyTrustService service(module_path, cache_only_revocation);
  return VerifyWithService(&service);
}

}  // namespace lite_installer
