// Checks an RSASSA-PKCS1-v1_5 signature with a SHA-1 digest through the
// Windows CryptoAPI. The public key is a DER X.509 SubjectPublicKeyInfo; the
// signature comes most significant byte first, as RSA tools write it.
// Windows build only.
#ifndef TRUST_SIGNATURE_VERIFIER_H_
#define TRUST_SIGNATURE_VERIFIER_H_

#include <windows.h>
#include <wincrypt.h>

#include <cstddef>

namespace lite_installer {

// Used once: constructed idle, asked to verify one signature, destroyed.
// Every failing step writes one ERROR record with the system's error code.
class SignatureVerifier {
 public:
  SignatureVerifier() = default;
  ~SignatureVerifier() { Cleanup(); }
  SignatureVerifier(const SignatureVerifier&) = delete;
  SignatureVerifier& operator=(const SignatureVerifier&) = delete;

  // Initialize, HashData(data), ImportPublicKey(public_key),
  // VerifySignature(signature), stopping at the first failure. True only
  // when all four succeed.
  bool Verify(const unsigned char* signature, size_t signature_length, const unsigned char* public_key,
              size_t public_key_length, const unsigned char* data, size_t data_length);

  // Releases what an earlier use left, then acquires a verification-only
  // context of the default RSA provider.
  bool Initialize();
  // Creates the SHA-1 hash object and hashes all `length` bytes.
  bool HashData(const unsigned char* data, size_t length);
  // Decodes the DER SubjectPublicKeyInfo and imports the key.
  bool ImportPublicKey(const unsigned char* encoded, size_t length);
  // Checks the signature (most significant byte first) against the hash;
  // an empty signature fails without a record.
  bool VerifySignature(const unsigned char* signature, size_t length);
  // Destroys the key, the hash and the context, in that order.
  void Cleanup();

 private:
  HCRYPTPROV context = 0;
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;
};

}  // namespace lite_installer

#endif  // TRUST_SIGNATURE_VERIFIER_H_
