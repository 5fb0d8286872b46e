// The module trust check on real packages: descriptions signed with the demo
// keys, Authenticode signatures from the test PKI (make_trust_fixtures.sh),
// and the system's verification.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/environment.h"
#include "base/text.h"
#include "tests/trust/test_root_store.h"
#include "tests/trust/trust_test_support.h"
#include "trust/korvex_trust_verifier.h"
#include "trust/win_verify_trust_service.h"

namespace lite_installer {
namespace {

using testing::LogTail;
using testing::TrustFixture;
using testing::TrustFixtureBytes;

class TrustModuleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testing::AddTestRootCertificate(TrustFixture(L"pki\\root_ca.der")));
  }

  static bool Verify(const std::wstring& name) {
    const std::wstring path = TrustFixture(name);
    KorvexTrustVerifier verifier(KorvexTrustVerifier::GetTrustJsonFromModule(path));
    return verifier.VerifyModule(path, false);
  }
};

TEST_F(TrustModuleTest, ReadsTheSignedDescription) {
  LogTail log;
  const std::string json = KorvexTrustVerifier::GetTrustJsonFromModule(TrustFixture(L"good_sha1.exe"));
  EXPECT_EQ(json, TrustFixtureBytes(L"work\\good_sha1.json"));
  EXPECT_EQ(KorvexTrustVerifier::GetTrustJsonFromModule(TrustFixture(L"good_sha256.exe")),
            TrustFixtureBytes(L"work\\good_sha256.json"));  // key 0
  EXPECT_FALSE(log.Contains(L"ERROR")) << log.Text();
  std::string identity = TrustFixtureBytes(L"identity_sha1.txt");
  identity.pop_back();
  EXPECT_NE(json.find(identity), std::string::npos);
}

TEST_F(TrustModuleTest, EveryDescriptionFaultGivesEmptyTextAndItsRecord) {
  struct Case {
    const wchar_t* file;
    std::wstring record;
  };
  const Case cases[] = {
      {L"altered_description.exe", L"Verify error"},
      {L"key_256.exe", L"Cannot find key 256"},
      {L"key_10.exe", L"Cannot find key 10"},
      {L"short_signature.exe", L"Cannot find resource SIGNATURE_DAT"},
      {L"no_description.exe", L"Cannot find resource TRUSTED_JSON"},
      {L"not_a_pe.exe", L"GetTrustJsonFromModule library isn't valid. " + TrustFixture(L"not_a_pe.exe")},
      {L"missing.exe", L"GetTrustJsonFromModule library isn't valid. " + TrustFixture(L"missing.exe")},
  };
  for (const Case& c : cases) {
    LogTail log;
    EXPECT_EQ(KorvexTrustVerifier::GetTrustJsonFromModule(TrustFixture(c.file)), "") << c.file;
    const std::wstring text = log.Text();
    EXPECT_NE(text.find(L"ERROR: KorvexTrustVerifier::GetTrustJsonFromModule"), std::wstring::npos) << text;
    EXPECT_NE(text.find(c.record), std::wstring::npos) << c.file << "\n" << text;
  }
  // The altered description is reported first by the signature check.
  LogTail log;
  KorvexTrustVerifier::GetTrustJsonFromModule(TrustFixture(L"altered_description.exe"));
  const std::wstring text = log.Text();
  EXPECT_LT(text.find(L"Failed to verify signature, error: 0x80090006"), text.find(L"Verify error")) << text;
}

TEST_F(TrustModuleTest, TrustsCorrectlySignedPackages) {
  LogTail log;
  EXPECT_TRUE(Verify(L"good_sha1.exe"));
  EXPECT_TRUE(Verify(L"good_sha256.exe"));
  EXPECT_TRUE(Verify(L"dual.exe"));  // SHA-1 plus nested SHA-256, both listed
  EXPECT_TRUE(log.Contains(L"INFO: KorvexTrustVerifier::VerifyModule"));
  EXPECT_TRUE(log.Contains(L"Verify module."));
}

TEST_F(TrustModuleTest, RefusesEveryFaultyPackage) {
  for (const wchar_t* file :
       {L"not_listed.exe", L"unsigned.exe", L"changed_after_signing.exe", L"untrusted_root.exe", L"leaf_issued.exe",
        L"certificates_object.exe", L"altered_description.exe", L"key_256.exe", L"short_signature.exe",
        L"not_a_pe.exe"}) {
    EXPECT_FALSE(Verify(file)) << file;
  }
}

TEST_F(TrustModuleTest, ServiceReportsSystemResultsAndTheSignerChain) {
  WinVerifyTrustService good(TrustFixture(L"good_sha1.exe"), false);
  ASSERT_EQ(good.VerifySignature(0), 0u);
  EXPECT_EQ(good.SecondarySignatureCount(), 0u);
  SignerFacts facts;
  ASSERT_TRUE(good.ReadSigners(&facts));
  EXPECT_EQ(facts.signer_count, 1u);
  EXPECT_EQ(facts.chain_error_status, 0u);
  ASSERT_GE(facts.chain.size(), 2u);
  EXPECT_EQ(facts.chain[0].serial_number, std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8));
  EXPECT_EQ(facts.chain[1].serial_number, std::string("\x5E\x4D\x3C\x2B\x1A", 5));
  EXPECT_EQ(facts.chain[0].signature_algorithm, "1.2.840.113549.1.1.5");
  good.Close();

  WinVerifyTrustService sha256(TrustFixture(L"good_sha256.exe"), false);
  ASSERT_EQ(sha256.VerifySignature(0), 0u);
  ASSERT_TRUE(sha256.ReadSigners(&facts));
  ASSERT_GE(facts.chain.size(), 1u);
  EXPECT_EQ(facts.chain[0].signature_algorithm, kSha256WithRsaOid);

  WinVerifyTrustService dual(TrustFixture(L"dual.exe"), false);
  ASSERT_EQ(dual.VerifySignature(0), 0u);
  EXPECT_EQ(dual.SecondarySignatureCount(), 1u);

  EXPECT_EQ(WinVerifyTrustService(TrustFixture(L"unsigned.exe"), false).VerifySignature(0), 0x800B0100u);
  EXPECT_NE(WinVerifyTrustService(TrustFixture(L"changed_after_signing.exe"), false).VerifySignature(0), 0u);

  // A root nobody trusts: the system refuses it, or (Wine) accepts it while
  // its chain reports the error the decision rules then refuse.
  WinVerifyTrustService other(TrustFixture(L"untrusted_root.exe"), false);
  const uint32_t result = other.VerifySignature(0);
  const bool chain_read = other.ReadSigners(&facts);
  EXPECT_TRUE(result != 0 || (chain_read && facts.chain_error_status != 0))
      << std::hex << result << " " << facts.chain_error_status;

  // An issuer that is an end-entity certificate: refused by the system, or
  // (Wine) accepted with the invalid-basic-constraints bit set.
  WinVerifyTrustService leaf_issued(TrustFixture(L"leaf_issued.exe"), false);
  const uint32_t leaf_result = leaf_issued.VerifySignature(0);
  EXPECT_TRUE(leaf_result != 0 || (leaf_issued.ReadSigners(&facts) && (facts.chain_error_status & 0x400u) != 0))
      << std::hex << leaf_result << " " << facts.chain_error_status;

  // Cache-only revocation takes the same path through the system.
  EXPECT_EQ(WinVerifyTrustService(TrustFixture(L"good_sha1.exe"), true).VerifySignature(0), 0u);
}

TEST_F(TrustModuleTest, CheckingALibraryPackageNeverRunsItsCode) {
  // Copies of the library in a fresh folder: one for the check, one to show
  // that loading it as code does leave the marker.
  const std::wstring folder = GetTemporaryPath() + L"trust_library_" + ToDecimal(static_cast<uint64_t>(GetCurrentProcessId())) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring checked = folder + L"package.exe";
  const std::wstring loaded = folder + L"control.dll";
  ASSERT_TRUE(CopyFileW(TrustFixture(L"library.dll").c_str(), checked.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(TrustFixture(L"library.dll").c_str(), loaded.c_str(), FALSE));
  DeleteFileW((checked + L".ran").c_str());
  DeleteFileW((loaded + L".ran").c_str());

  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  const std::string json = KorvexTrustVerifier::GetTrustJsonFromModule(checked);
  EXPECT_EQ(json, TrustFixtureBytes(L"work\\library.json"));
  KorvexTrustVerifier verifier(json);
  EXPECT_TRUE(verifier.VerifyModule(checked, false));
  wchar_t after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_EQ(std::wstring(before), std::wstring(after));
  EXPECT_EQ(GetFileAttributesW((checked + L".ran").c_str()), INVALID_FILE_ATTRIBUTES) << "the package's code ran";

  HMODULE control = LoadLibraryW(loaded.c_str());
  ASSERT_NE(control, nullptr);
  FreeLibrary(control);
  EXPECT_NE(GetFileAttributesW((loaded + L".ran").c_str()), INVALID_FILE_ATTRIBUTES) << "the marker cannot show";

  for (const std::wstring& file : {checked, loaded, checked + L".ran", loaded + L".ran"}) DeleteFileW(file.c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace lite_installer
