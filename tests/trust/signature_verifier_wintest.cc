// SignatureVerifier on the real CryptoAPI with openssl-made signatures over a
// trusted description, checked against demo key 1.
#include "trust/signature_verifier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/trust/trust_test_support.h"
#include "trust/base64.h"
#include "trust/builtin_keys.h"
#include "base/log_tags.h"

namespace lite_installer {
namespace {

using testing::LogTail;
using testing::TrustFixtureBytes;

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

class SignatureVerifierTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = TrustFixtureBytes(L"work\\good_sha1.json");
    const std::string resource = TrustFixtureBytes(L"work\\good_sha1.sig");
    ASSERT_FALSE(data_.empty());
    ASSERT_EQ(resource.size(), 2u + 128u);
    ASSERT_EQ(resource.substr(0, 2), std::string("\x01\x00", 2));
    signature_ = resource.substr(2);
    ASSERT_TRUE(StrictBase64Decode(FindBuiltInKey(1)->public_key, &key_));
  }

  bool Verify(const std::string& signature, const std::string& key, const std::string& data) {
    SignatureVerifier verifier;
    return verifier.Verify(Bytes(signature), signature.size(), Bytes(key), key.size(), Bytes(data), data.size());
  }

  std::string data_;
  std::string signature_;
  std::string key_;
};

TEST_F(SignatureVerifierTest, AcceptsTheRightSignatureAndKey) {
  LogTail log;
  EXPECT_TRUE(Verify(signature_, key_, data_));
  EXPECT_FALSE(log.Contains(L"SignatureVerifier::"));
}

TEST_F(SignatureVerifierTest, RefusesWrongSignatureDataOrKey) {
  {
    LogTail log;
    std::string reversed = signature_;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_FALSE(Verify(reversed, key_, data_));
    EXPECT_TRUE(log.Contains(log_tag::kSignatureVerifierVerifySignature)) << log.Text();
    EXPECT_TRUE(log.Contains(L"Failed to verify signature, error: 0x8009")) << log.Text();
  }
  {
    LogTail log;
    std::string changed = data_;
    changed[changed.size() / 2] ^= 1;
    EXPECT_FALSE(Verify(signature_, key_, changed));
    EXPECT_TRUE(log.Contains(L"Failed to verify signature, error: 0x80090006")) << log.Text();
  }
  {
    // Another demo key: the signature does not verify.
    LogTail log;
    std::string other_key;
    ASSERT_TRUE(StrictBase64Decode(FindBuiltInKey(2)->public_key, &other_key));
    EXPECT_FALSE(Verify(signature_, other_key, data_));
    EXPECT_TRUE(log.Contains(L"Failed to verify signature, error: 0x8009")) << log.Text();
  }
  {
    // Not a SubjectPublicKeyInfo: reported by the decoder after the data was hashed.
    LogTail log;
    EXPECT_FALSE(Verify(signature_, std::string(162, '\x42'), data_));
    const std::wstring text = log.Text();
    EXPECT_NE(text.find(log_tag::kSignatureVerifierImportPublicKey), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Failed to convert decode public key, error: 0x8009"), std::wstring::npos) << text;
    EXPECT_EQ(text.find(log_tag::kSignatureVerifierHashData), std::wstring::npos) << text;
  }
}

TEST_F(SignatureVerifierTest, EmptySignatureFailsWithoutRecord) {
  LogTail log;
  EXPECT_FALSE(Verify(std::string(), key_, data_));
  EXPECT_FALSE(log.Contains(L"SignatureVerifier::")) << log.Text();
}

TEST_F(SignatureVerifierTest, InitializeReleasesHandlesOfAnEarlierUse) {
  SignatureVerifier verifier;
  ASSERT_TRUE(verifier.Initialize());
  ASSERT_TRUE(verifier.HashData(Bytes(data_), data_.size()));
  ASSERT_TRUE(verifier.ImportPublicKey(Bytes(key_), key_.size()));
  // A fresh start drops the hash and the key: the signature cannot verify
  // until the data is hashed and the key imported again.
  ASSERT_TRUE(verifier.Initialize());
  {
    LogTail log;
    EXPECT_FALSE(verifier.VerifySignature(Bytes(signature_), signature_.size()));
    EXPECT_TRUE(log.Contains(L"Failed to verify signature, error: 0x")) << log.Text();
  }
  ASSERT_TRUE(verifier.HashData(Bytes(data_), data_.size()));
  ASSERT_TRUE(verifier.ImportPublicKey(Bytes(key_), key_.size()));
  EXPECT_TRUE(verifier.VerifySignature(Bytes(signature_), signature_.size()));
}

}  // namespace
}  // namespace lite_installer
