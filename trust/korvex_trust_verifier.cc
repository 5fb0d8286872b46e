// The parts of KorvexTrustVerifier that make no system call: the identity set
// and the decision rules.
#include "trust/korvex_trust_verifier.h"

#include <jansson.h>

#include "trust/base64.h"

namespace lite_installer {

namespace {

// Owns a Jansson reference.
class JsonRef {
 public:
  explicit JsonRef(json_t* value) : value_(value) {}
  ~JsonRef() { json_decref(value_); }
  JsonRef(const JsonRef&) = delete;
  JsonRef& operator=(const JsonRef&) = delete;
  json_t* get() const { return value_; }

 private:
  json_t* value_;
};

std::string ReversedBytes(const std::string& bytes) { return std::string(bytes.rbegin(), bytes.rend()); }

}  // namespace

bool SignerIdentity(const SignerFacts& facts, std::string* identity, bool* is_sha256) {
  identity->clear();
  *is_sha256 = false;
  if (facts.signer_count != 1) return false;
  if (facts.chain_length < 2 || facts.chain.size() < 2) return false;
  const CertificateFacts& signing = facts.chain[0];
  const CertificateFacts& issuer = facts.chain[1];
  *identity = ReversedBytes(issuer.serial_number) + ReversedBytes(signing.serial_number);
  *is_sha256 = signing.signature_algorithm == kSha256WithRsaOid;
  return true;
}

KorvexTrustVerifier::KorvexTrustVerifier(const std::string& trust_json) {
  json_error_t error;
  JsonRef root(json_loads(trust_json.c_str(), 0, &error));
  if (!json_is_object(root.get())) return;
  json_t* trusted_info = json_object_get(root.get(), "trusted_info");
  if (!json_is_object(trusted_info)) return;
  json_t* certificates = json_object_get(trusted_info, "certificates");
  if (!json_is_array(certificates)) return;
  const size_t count = json_array_size(certificates);
  for (size_t i = 0; i < count; ++i) {
    json_t* element = json_array_get(certificates, i);
    if (!json_is_object(element)) continue;
    json_t* id = json_object_get(element, "id");
    if (!json_is_string(id)) continue;
    const std::string text(json_string_value(id), json_string_length(id));
    if (text.empty()) continue;
    identities_.insert(LenientBase64Decode(text));
  }
}

bool KorvexTrustVerifier::VerifyWithService(TrustVerificationService* service) const {
  // Closes the service's state on every return.
  struct StateCloser {
    TrustVerificationService* service;
    ~StateCloser() { service->Close(); }
  } closer{service};

  if (service->VerifySignature(0) != 0) return false;
  if (identities_.empty()) return false;

  const uint32_t secondary_count = service->SecondarySignatureCount();
  bool trusted = false;
  bool sha256_seen = false;
  for (uint32_t index = 0; index <= secondary_count; ++index) {
    if (index > 0) {
      service->Close();
      if (service->VerifySignature(index) != 0) return false;
    }
    SignerFacts facts;
    if (!service->ReadSigners(&facts)) continue;
    // A chain with a hard error is a failed verification, even where the
    // system's verdict overlooked it; soft bits stay with that verdict.
    if ((facts.chain_error_status & kRefusingChainErrors) != 0) return false;
    std::string identity;
    bool is_sha256 = false;
    if (!SignerIdentity(facts, &identity, &is_sha256)) continue;
    sha256_seen = sha256_seen || is_sha256;
    if (sha256_seen) {
      // Once a SHA-256 signature was met only such signatures count, and
      // earlier matches of weaker ones are forgotten.
      trusted = false;
      if (!is_sha256) continue;
    }
    trusted = trusted || identities_.count(identity) != 0;
    if (sha256_seen && trusted) break;
  }
  return trusted;
}

}  // namespace lite_installer
