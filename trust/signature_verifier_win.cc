#include "trust/signature_verifier.h"

#include <string>

#include "base/log.h"
#include "base/log_tags.h"
#include "base/system_library.h"
#include "base/unique_handle.h"

namespace lite_installer {

namespace {

constexpr DWORD kEncodingType = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

// Writes `format` with the last error code, read before anything else runs.
void LogLastError(const wchar_t* function, int line, const wchar_t* format) {
  const DWORD error = GetLastError();
  LogFormat(kError, function, line, format, static_cast<unsigned>(error));
  SetLastError(error);
}

}  // namespace

bool SignatureVerifier::Verify(const unsigned char* signature, size_t signature_length,
                               const unsigned char* public_key, size_t public_key_length,
                               const unsigned char* data, size_t data_length) {
  return Initialize() && HashData(data, data_length) && ImportPublicKey(public_key, public_key_length) &&
         VerifySignature(signature, signature_length);
}

bool SignatureVerifier::Initialize() {
  Cleanup();
  if (!CryptAcquireContextW(&context, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
    context = 0;
    LogLastError(log_tag::kSignatureVerifierInitialize, __LINE__, L"Failed to initialize crypt context, error: 0x%x");
    return false;
  }
  return true;
}

bool SignatureVerifier::HashData(const unsigned char* data, size_t length) {
  if (!CryptCreateHash(context, CALG_SHA1, 0, 0, &hash)) {
    hash = 0;
    LogLastError(log_tag::kSignatureVerifierHashData, __LINE__, L"Failed to initialize hash object, error: 0x%x");
    return false;
  }
  if (!CryptHashData(hash, data, static_cast<DWORD>(length), 0)) {
    LogLastError(log_tag::kSignatureVerifierHashData, __LINE__, L"Failed to hash data, error: 0x%x");
    return false;
  }
  return true;
}

bool SignatureVerifier::ImportPublicKey(const unsigned char* encoded, size_t length) {
  // crypt32 is not a known DLL: it comes from System32 at run time. Without
  // it the decoding step fails with the loader's error.
  SystemLibrary crypt32(L"crypt32.dll");
  auto* decode = crypt32.Lookup<decltype(CryptDecodeObjectEx)>("CryptDecodeObjectEx");
  auto* import_key = crypt32.Lookup<decltype(CryptImportPublicKeyInfo)>("CryptImportPublicKeyInfo");
  CERT_PUBLIC_KEY_INFO* info = nullptr;
  DWORD info_size = 0;
  if (decode == nullptr || import_key == nullptr ||
      !decode(kEncodingType, X509_PUBLIC_KEY_INFO, encoded, static_cast<DWORD>(length),
                           CRYPT_DECODE_ALLOC_FLAG, nullptr, &info, &info_size)) {
    LogLastError(log_tag::kSignatureVerifierImportPublicKey, __LINE__,
                 L"Failed to convert decode public key, error: 0x%x");
    return false;
  }
  ScopedLocalMemory info_owner(info);
  if (!import_key(context, kEncodingType, info, &key)) {
    key = 0;
    LogLastError(log_tag::kSignatureVerifierImportPublicKey, __LINE__, L"Failed to import crypt key, error: 0x%x");
    return false;
  }
  return true;
}

bool SignatureVerifier::VerifySignature(const unsigned char* signature, size_t length) {
  if (signature == nullptr || length == 0) return false;
  // CryptoAPI takes signatures least significant byte first.
  std::string reversed(reinterpret_cast<const char*>(signature), length);
  for (size_t i = 0, j = length - 1; i < j; ++i, --j) {
    const char byte = reversed[i];
    reversed[i] = reversed[j];
    reversed[j] = byte;
  }
  if (!CryptVerifySignatureW(hash, reinterpret_cast<const BYTE*>(reversed.data()), static_cast<DWORD>(length), key,
                             nullptr, 0)) {
    LogLastError(log_tag::kSignatureVerifierVerifySignature, __LINE__, L"Failed to verify signature, error: 0x%x");
    return false;
  }
  return true;
}

void SignatureVerifier::Cleanup() {
  if (key != 0) {
    if (!CryptDestroyKey(key)) {
      LogLastError(log_tag::kSignatureVerifierCleanup, __LINE__, L"Failed to destroy crypt key, error: 0x%x");
    }
    key = 0;
  }
  if (hash != 0) {
    if (!CryptDestroyHash(hash)) {
      LogLastError(log_tag::kSignatureVerifierCleanup, __LINE__, L"Failed to destroy, error: 0x%x");
    }
    hash = 0;
  }
  if (context != 0) {
    if (!CryptReleaseContext(context, 0)) {
      LogLastError(log_tag::kSignatureVerifierCleanup, __LINE__, L"Failed to release crypt context, error: 0x%x");
    }
    context = 0;
  }
}

}  // namespace lite_installer
