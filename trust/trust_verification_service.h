// The seam between the module trust decision and the system's Authenticode
// verification. The product implements it with WinVerifyTrust and the
// WTHelper functions (trust/win_verify_trust_service.h); tests put a fake in
// its place. No system calls.
#ifndef TRUST_TRUST_VERIFICATION_SERVICE_H_
#define TRUST_TRUST_VERIFICATION_SERVICE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace lite_installer {

// One certificate of a signer's chain.
struct CertificateFacts {
  // The serial number as the system's certificate structure holds it: least
  // significant byte first.
  std::string serial_number;
  // Object identifier of the certificate's own signature algorithm, such as
  // "1.2.840.113549.1.1.11".
  std::string signature_algorithm;
};

// What the current verification state says about its signers.
struct SignerFacts {
  // Number of signers the state reports.
  uint32_t signer_count = 0;
  // Error bits of signer 0's certificate chain; 0 when the chain is sound.
  uint32_t chain_error_status = 0;
  // Number of certificates signer 0's chain holds.
  uint32_t chain_length = 0;
  // The readable certificates of signer 0's chain from element 0 (the signing
  // certificate) on, stopping at the first that cannot be read.
  std::vector<CertificateFacts> chain;
};

class TrustVerificationService {
 public:
  virtual ~TrustVerificationService() = default;

  // Releases any earlier state and verifies signature `index` with a fresh
  // state, checking the chain and revocation. Returns 0 when the signature
  // is trusted, otherwise the system's error code.
  virtual uint32_t VerifySignature(uint32_t index) = 0;

  // Number of secondary signatures reported by the last verification.
  virtual uint32_t SecondarySignatureCount() const = 0;

  // Reads the signers of the current state; false when it has no provider
  // data or no signer 0.
  virtual bool ReadSigners(SignerFacts* facts) = 0;

  // Releases the current state, if any.
  virtual void Close() = 0;
};

}  // namespace lite_installer

#endif  // TRUST_TRUST_VERIFICATION_SERVICE_H_
