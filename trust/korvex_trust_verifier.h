// The trust decision for a setup package. A module is trusted when
//   1. it carries a trusted description (resource "TRUSTED.JSON") signed with
//      one of the built-in keys (resource "SIGNATURE.DAT"),
//   2. its Authenticode signatures pass the system's verification, and
//   3. the identity of the certificate that signed it is listed in that
//      description (SHA-256 signatures take precedence; see VerifyWithService).
#ifndef TRUST_KORVEX_TRUST_VERIFIER_H_
#define TRUST_KORVEX_TRUST_VERIFIER_H_

#include <set>
#include <string>

#include "trust/trust_verification_service.h"

namespace lite_installer {

// Signature algorithm of a certificate signed with sha256WithRSAEncryption.
constexpr char kSha256WithRsaOid[] = "1.2.840.113549.1.1.11";

// Error bits of a signer's certificate chain (the system's CERT_TRUST_*
// values) that a sound signature may still carry, and that are therefore
// left to the system's verdict, which weighed them against the signature's
// timestamp and the revocation policy: a certificate outside its validity
// period (a timestamped signature outlives it), the obsolete time-nesting
// bit, and revocation that could not be checked (status unknown, server
// offline). Every other bit refuses the module even when the system's
// verdict was success: the platform's own check may be lax (an issuer that
// is not a certificate authority, for one), and ours must hold then.
constexpr uint32_t kChainIsNotTimeValid = 0x00000001;
constexpr uint32_t kChainIsNotTimeNested = 0x00000002;
constexpr uint32_t kChainRevocationStatusUnknown = 0x00000040;
constexpr uint32_t kChainIsOfflineRevocation = 0x01000000;
constexpr uint32_t kSoftChainErrors =
    kChainIsNotTimeValid | kChainIsNotTimeNested | kChainRevocationStatusUnknown | kChainIsOfflineRevocation;
constexpr uint32_t kRefusingChainErrors = ~kSoftChainErrors;

// The identity of signer 0 in `facts`: the issuer's serial number (chain
// element 1) then the signing certificate's (element 0), each most
// significant byte first. False when there is not exactly one signer or the
// chain lacks either certificate. `is_sha256` tells whether the signing
// certificate is signed with SHA-256.
bool SignerIdentity(const SignerFacts& facts, std::string* identity, bool* is_sha256);

class KorvexTrustVerifier {
 public:
  // Builds the identity set from a trusted description:
  //   {"trusted_info": {"certificates": [{"id": "<Base64>"}, ...]}}
  // A description without that shape gives an empty set, silently.
  explicit KorvexTrustVerifier(const std::string& trust_json);

  // The module's trusted description once its signature verified against a
  // built-in key; empty on any failure (logged). The resources are read from
  // `module_file` (an open file handle with read access; `module_path` names
  // it in the records), never from a second opening of the path, so the
  // bytes checked are those of the file the caller holds. Windows build only.
  static std::string GetTrustJsonFromModule(const std::wstring& module_path, void* module_file);
  // As above, through a handle of its own for the duration of the call.
  static std::string GetTrustJsonFromModule(const std::wstring& module_path);

  // True when the module's Authenticode signatures verify and its signer is
  // listed. With `cache_only_revocation` revocation is not checked and only
  // cached URLs are used. The system verifies the file behind `module_file`
  // when it is given (not null), otherwise the file at the path. Windows
  // build only.
  bool VerifyModule(const std::wstring& module_path, void* module_file, bool cache_only_revocation);
  bool VerifyModule(const std::wstring& module_path, bool cache_only_revocation) {
    return VerifyModule(module_path, nullptr, cache_only_revocation);
  }

  // The decision rules of VerifyModule over any verification service. The
  // service's state is closed before this returns.
  bool VerifyWithService(TrustVerificationService* service) const;

  const std::set<std::string>& identities() const { return identities_; }

 private:
  // Trusted signer identities; equal when of equal length and bytes.
  std::set<std::string> identities_;
};

}  // namespace lite_installer

#endif  // TRUST_KORVEX_TRUST_VERIFIER_H_
