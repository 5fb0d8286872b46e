// The identity set and the decision rules of the module trust check, driven
// through a fake verification service.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "trust/base64.h"
#include "trust/builtin_keys.h"
#include "trust/korvex_trust_verifier.h"

namespace lite_installer {
namespace {

constexpr char kSha1WithRsaOid[] = "1.2.840.113549.1.1.5";

// One signature as the fake system reports it.
struct FakeSignature {
  uint32_t result = 0;
  SignerFacts facts;
  bool readable = true;
};

// Serial numbers as the system stores them (least significant byte first).
SignerFacts Chain(const std::string& leaf_serial, const std::string& issuer_serial, const char* algorithm) {
  SignerFacts facts;
  facts.signer_count = 1;
  facts.chain_length = 2;
  facts.chain = {{leaf_serial, algorithm}, {issuer_serial, kSha256WithRsaOid}};
  return facts;
}

// The identity the description lists for that chain: issuer then leaf,
// each most significant byte first.
std::string IdentityOf(const std::string& leaf_serial, const std::string& issuer_serial) {
  return std::string(issuer_serial.rbegin(), issuer_serial.rend()) +
         std::string(leaf_serial.rbegin(), leaf_serial.rend());
}

std::string Base64(const std::string& bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t bits = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) bits |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) bits |= static_cast<unsigned char>(bytes[i + 2]);
    text += kAlphabet[(bits >> 18) & 63];
    text += kAlphabet[(bits >> 12) & 63];
    text += i + 1 < bytes.size() ? kAlphabet[(bits >> 6) & 63] : '=';
    text += i + 2 < bytes.size() ? kAlphabet[bits & 63] : '=';
  }
  return text;
}

std::string Description(const std::vector<std::string>& identities) {
  std::string json = "{\"trusted_info\": {\"certificates\": [";
  for (size_t i = 0; i < identities.size(); ++i) {
    if (i > 0) json += ", ";
    json += "{\"id\": \"" + Base64(identities[i]) + "\"}";
  }
  return json + "]}}";
}

class FakeVerificationService : public TrustVerificationService {
 public:
  explicit FakeVerificationService(std::vector<FakeSignature> signatures) : signatures_(std::move(signatures)) {}

  uint32_t VerifySignature(uint32_t index) override {
    EXPECT_FALSE(open_) << "a state was left open before verifying " << index;
    verified.push_back(index);
    open_ = true;
    current_ = index;
    return index < signatures_.size() ? signatures_[index].result : 0x800B0100u;
  }
  uint32_t SecondarySignatureCount() const override {
    return signatures_.empty() ? 0 : static_cast<uint32_t>(signatures_.size() - 1);
  }
  bool ReadSigners(SignerFacts* facts) override {
    if (!open_ || current_ >= signatures_.size() || !signatures_[current_].readable) return false;
    *facts = signatures_[current_].facts;
    return true;
  }
  void Close() override {
    if (open_) ++closes;
    open_ = false;
  }

  bool open() const { return open_; }
  std::vector<uint32_t> verified;
  int closes = 0;

 private:
  std::vector<FakeSignature> signatures_;
  bool open_ = false;
  uint32_t current_ = 0;
};

const std::string kSha1Leaf("\x11\x10\x00\x01", 4);
const std::string kSha256Leaf("\x22\x20\x00\x02", 4);
const std::string kRoot("\x01\x02\x03\x04\x05", 5);

FakeSignature Sha1Signature(uint32_t result = 0) { return {result, Chain(kSha1Leaf, kRoot, kSha1WithRsaOid)}; }
FakeSignature Sha256Signature(uint32_t result = 0) {
  return {result, Chain(kSha256Leaf, kRoot, kSha256WithRsaOid)};
}

bool Decide(const std::vector<std::string>& listed, FakeVerificationService* service) {
  KorvexTrustVerifier verifier(Description(listed));
  const bool trusted = verifier.VerifyWithService(service);
  EXPECT_FALSE(service->open()) << "the verification state was left open";
  return trusted;
}

TEST(KorvexTrustVerifierTest, BuildsIdentitySetFromDescription) {
  KorvexTrustVerifier verifier(
      "{\"trusted_info\": {\"other\": 1, \"certificates\": ["
      "{\"id\": \"AAECAw==\"}, {\"id\": \"AAEC\\nAw\"}, {\"id\": \" AA EC Aw \"}, "
      "{\"id\": \"\"}, {\"id\": 7}, \"AAECAw==\", {\"name\": \"x\"}, {\"id\": \"BAUG\"}, {\"id\": \"=\"}]}}");
  const std::set<std::string> expected = {std::string("\x00\x01\x02\x03", 4), "\x04\x05\x06", ""};
  EXPECT_EQ(verifier.identities(), expected);
}

TEST(KorvexTrustVerifierTest, DescriptionOfWrongShapeGivesEmptySet) {
  for (const char* json :
       {"", "not json", "[]", "{\"trusted_info\": []}", "{\"trusted_info\": {\"certificates\": {\"id\": \"AAAA\"}}}",
        "{\"certificates\": [{\"id\": \"AAAA\"}]}", "{\"trusted_info\": {\"certificates\": \"AAAA\"}}",
        "{\"trusted_info\": {\"certificates\": [{\"id\": \"AAAA\"}]}"}) {
    EXPECT_TRUE(KorvexTrustVerifier(json).identities().empty()) << json;
  }
  // A valid signature does not help a description of the wrong shape.
  FakeVerificationService service({Sha1Signature()});
  KorvexTrustVerifier verifier("{\"trusted_info\": {\"certificates\": {\"id\": \"AAAA\"}}}");
  EXPECT_FALSE(verifier.VerifyWithService(&service));
}

TEST(SignerIdentityTest, IssuerThenLeafMostSignificantByteFirst) {
  std::string identity;
  bool sha256 = true;
  ASSERT_TRUE(SignerIdentity(Chain(kSha1Leaf, kRoot, kSha1WithRsaOid), &identity, &sha256));
  EXPECT_EQ(identity, std::string("\x05\x04\x03\x02\x01\x01\x00\x10\x11", 9));
  EXPECT_FALSE(sha256);
  ASSERT_TRUE(SignerIdentity(Chain(kSha256Leaf, kRoot, kSha256WithRsaOid), &identity, &sha256));
  EXPECT_TRUE(sha256);

  SignerFacts two_signers = Chain(kSha1Leaf, kRoot, kSha1WithRsaOid);
  two_signers.signer_count = 2;
  EXPECT_FALSE(SignerIdentity(two_signers, &identity, &sha256));
  SignerFacts short_chain = Chain(kSha1Leaf, kRoot, kSha1WithRsaOid);
  short_chain.chain.pop_back();
  EXPECT_FALSE(SignerIdentity(short_chain, &identity, &sha256));
  short_chain.chain_length = 1;
  EXPECT_FALSE(SignerIdentity(short_chain, &identity, &sha256));
  // The algorithm must match exactly.
  ASSERT_TRUE(SignerIdentity(Chain(kSha256Leaf, kRoot, "1.2.840.113549.1.1.110"), &identity, &sha256));
  EXPECT_FALSE(sha256);
}

TEST(KorvexTrustVerifierTest, SingleSha1SignatureTrustedOnlyWhenListed) {
  FakeVerificationService listed({Sha1Signature()});
  EXPECT_TRUE(Decide({IdentityOf(kSha1Leaf, kRoot)}, &listed));
  EXPECT_EQ(listed.verified, std::vector<uint32_t>({0}));

  FakeVerificationService other({Sha1Signature()});
  EXPECT_FALSE(Decide({IdentityOf(kSha256Leaf, kRoot)}, &other));
  // The pair order matters: leaf then issuer is not the identity.
  FakeVerificationService swapped({Sha1Signature()});
  EXPECT_FALSE(Decide({IdentityOf(kRoot, kSha1Leaf)}, &swapped));
}

TEST(KorvexTrustVerifierTest, FailingOrUnreadableSignatures) {
  // Unsigned or changed module: the first verification fails.
  FakeVerificationService unsigned_module({Sha1Signature(0x800B0100u)});
  EXPECT_FALSE(Decide({IdentityOf(kSha1Leaf, kRoot)}, &unsigned_module));
  // Empty identity set: untrusted even though the signature verifies.
  FakeVerificationService empty_set({Sha1Signature()});
  EXPECT_FALSE(Decide({}, &empty_set));
  // A signature whose signer cannot be read takes no part.
  FakeSignature unreadable = Sha1Signature();
  unreadable.readable = false;
  FakeVerificationService no_signer({unreadable});
  EXPECT_FALSE(Decide({IdentityOf(kSha1Leaf, kRoot)}, &no_signer));
  FakeVerificationService then_good({unreadable, Sha256Signature()});
  EXPECT_TRUE(Decide({IdentityOf(kSha256Leaf, kRoot)}, &then_good));
}

TEST(KorvexTrustVerifierTest, HardChainErrorsRefuseEvenWhenSystemAccepted) {
  // Every bit but the four soft ones: among them CERT_TRUST_IS_REVOKED,
  // _NOT_SIGNATURE_VALID, _NOT_VALID_FOR_USAGE, _UNTRUSTED_ROOT, _CYCLIC,
  // _INVALID_BASIC_CONSTRAINTS (0x400), _PARTIAL_CHAIN, _EXPLICIT_DISTRUST,
  // each alone and on the second signature of a dual-signed module.
  for (uint32_t bit = 1; bit != 0; bit <<= 1) {
    if ((bit & (0x1u | 0x2u | 0x40u | 0x1000000u)) != 0) continue;
    FakeSignature bad = Sha256Signature();
    bad.facts.chain_error_status = bit | 0x40;
    FakeVerificationService service({bad});
    EXPECT_FALSE(Decide({IdentityOf(kSha256Leaf, kRoot)}, &service)) << std::hex << bit;
    FakeSignature bad_second = Sha1Signature();
    bad_second.facts.chain_error_status = bit;
    FakeVerificationService second_bad({Sha1Signature(), bad_second});
    EXPECT_FALSE(Decide({IdentityOf(kSha1Leaf, kRoot)}, &second_bad)) << std::hex << bit;
  }
}

TEST(KorvexTrustVerifierTest, SoftChainBitsAreLeftToTheSystemsVerdict) {
  // CERT_TRUST_REVOCATION_STATUS_UNKNOWN, _IS_OFFLINE_REVOCATION,
  // _IS_NOT_TIME_VALID, _IS_NOT_TIME_NESTED: the system accepted the
  // signature (result 0), so the module is trusted when listed...
  for (uint32_t bits : {0x40u, 0x1000000u, 0x1000040u, 0x1u, 0x2u}) {
    FakeSignature soft = Sha256Signature();
    soft.facts.chain_error_status = bits;
    FakeVerificationService service({soft});
    EXPECT_TRUE(Decide({IdentityOf(kSha256Leaf, kRoot)}, &service)) << std::hex << bits;
    // ...and still refused when the signer is not listed.
    FakeVerificationService unlisted({soft});
    EXPECT_FALSE(Decide({IdentityOf(kSha1Leaf, kRoot)}, &unlisted)) << std::hex << bits;
  }
  // When the system itself refused over revocation, so does the installer.
  FakeSignature revocation_failed = Sha256Signature(0x80092013u);  // CRYPT_E_REVOCATION_OFFLINE
  revocation_failed.facts.chain_error_status = 0x1000040u;
  FakeVerificationService refused({revocation_failed});
  EXPECT_FALSE(Decide({IdentityOf(kSha256Leaf, kRoot)}, &refused));
}

TEST(KorvexTrustVerifierTest, DualSignatureSha256Prevails) {
  FakeVerificationService sha1_listed({Sha1Signature(), Sha256Signature()});
  EXPECT_FALSE(Decide({IdentityOf(kSha1Leaf, kRoot)}, &sha1_listed));
  EXPECT_EQ(sha1_listed.verified, std::vector<uint32_t>({0, 1}));

  FakeVerificationService sha256_listed({Sha1Signature(), Sha256Signature()});
  EXPECT_TRUE(Decide({IdentityOf(kSha256Leaf, kRoot)}, &sha256_listed));

  FakeVerificationService both_listed({Sha1Signature(), Sha256Signature()});
  EXPECT_TRUE(Decide({IdentityOf(kSha1Leaf, kRoot), IdentityOf(kSha256Leaf, kRoot)}, &both_listed));
  // Every state was closed: one close per verification.
  EXPECT_EQ(both_listed.closes, 2);
}

TEST(KorvexTrustVerifierTest, FailingSecondSignatureAfterSha1Match) {
  FakeVerificationService service({Sha1Signature(), Sha256Signature(0x800B010Cu)});  // revoked
  EXPECT_FALSE(Decide({IdentityOf(kSha1Leaf, kRoot)}, &service));
  EXPECT_EQ(service.verified, std::vector<uint32_t>({0, 1}));
}

TEST(KorvexTrustVerifierTest, MatchingFirstSha256SignatureDecides) {
  FakeVerificationService service({Sha256Signature(), Sha1Signature(0x80096010u)});
  EXPECT_TRUE(Decide({IdentityOf(kSha256Leaf, kRoot)}, &service));
  EXPECT_EQ(service.verified, std::vector<uint32_t>({0}));  // the second is never examined

  // Not matching: the later SHA-1 signature cannot make up for it.
  FakeVerificationService later_sha1({Sha256Signature(), Sha1Signature()});
  EXPECT_FALSE(Decide({IdentityOf(kSha1Leaf, kRoot)}, &later_sha1));
}

TEST(BuiltInKeysTest, TenKeysInOrderEachAnRsaSubjectPublicKeyInfo) {
  for (uint16_t id = 0; id < kBuiltInKeyCount; ++id) {
    const BuiltInKey* key = FindBuiltInKey(id);
    ASSERT_NE(key, nullptr) << id;
    EXPECT_EQ(key, &kBuiltInKeys[id]);
    std::string der;
    ASSERT_TRUE(StrictBase64Decode(key->public_key, &der)) << id;
    EXPECT_EQ(der.size(), 162u) << id;  // 1024-bit modulus, exponent 65537
    EXPECT_EQ(static_cast<unsigned char>(der[0]), 0x30) << id;
  }
  EXPECT_EQ(FindBuiltInKey(10), nullptr);
  EXPECT_EQ(FindBuiltInKey(256), nullptr);
}

}  // namespace
}  // namespace lite_installer
