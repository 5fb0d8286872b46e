// The controller's trust seams on real packages: the description comes from
// the module, the verdict from the verifier, and a cache-only check that
// fails is asked once more with the full check.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"
#include "install/installer.h"
#include "base/environment.h"
#include "base/text.h"
#include "tests/trust/test_root_store.h"
#include "tests/trust/trust_test_support.h"
#include "trust/korvex_trust_verifier.h"

namespace lite_installer {
namespace {

using testing::TrustFixture;

// Records what the verifier seam is asked; answers with the real check
// unless `answer` is set.
class RecordingInstaller : public Installer {
 public:
  using Installer::Installer;

  bool CheckModuleWithVerifier(const std::wstring& module_path, KorvexTrustVerifier& verifier,
                               bool flag) override {
    flags.push_back(flag);
    identity_counts.push_back(verifier.identities().size());
    if (answer >= 0) return answer != 0;
    return Installer::CheckModuleWithVerifier(module_path, verifier, flag);
  }

  int answer = -1;
  std::vector<bool> flags;
  std::vector<size_t> identity_counts;
};

class ModuleCheckTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(testing::AddTestRootCertificate(TrustFixture(L"pki\\root_ca.der")));
  }

  void SetUp() override {
    log_.reset(new testing::LogTail());
    work_dir_ = GetTemporaryPath() + L"module_check_" + ToDecimal(static_cast<uint64_t>(GetCurrentProcessId())) + L"\\";
    CreateDirectoryW(work_dir_.c_str(), nullptr);
    brand_.reset(new BrandPackageInfo(work_dir_));
    installer_.reset(new RecordingInstaller(nullptr, *brand_, params_));
  }

  void TearDown() override {
    installer_.reset();
    DeleteFileW((work_dir_ + L"master_preferences").c_str());
    DeleteFileW((work_dir_ + L"clids.xml").c_str());
    RemoveDirectoryW(work_dir_.c_str());
  }

  std::unique_ptr<testing::LogTail> log_;
  std::wstring work_dir_;
  DistribInfoParams params_;
  std::unique_ptr<BrandPackageInfo> brand_;
  std::unique_ptr<RecordingInstaller> installer_;
};

TEST_F(ModuleCheckTest, TrustsOnlyPackagesThatPassEveryCheck) {
  EXPECT_TRUE(installer_->CheckModule(TrustFixture(L"good_sha1.exe")));
  EXPECT_TRUE(installer_->CheckModule(TrustFixture(L"good_sha256.exe")));
  for (const wchar_t* file : {L"not_listed.exe", L"altered_description.exe", L"unsigned.exe", L"not_a_pe.exe"}) {
    EXPECT_FALSE(installer_->CheckModule(TrustFixture(file))) << file;
  }
  // The controller always asks once, without the cache-only shortcut.
  EXPECT_EQ(installer_->flags, std::vector<bool>(6, false));
  EXPECT_TRUE(log_->Contains(L"Verify module."));
}

TEST_F(ModuleCheckTest, DescriptionComesFromTheModule) {
  installer_->answer = 0;
  EXPECT_FALSE(installer_->CheckModule(TrustFixture(L"good_sha1.exe")));
  EXPECT_FALSE(installer_->CheckModule(TrustFixture(L"key_10.exe")));
  // One listed identity from the signed description; none from a description
  // whose key is unknown.
  EXPECT_EQ(installer_->identity_counts, std::vector<size_t>({1, 0}));
}

TEST_F(ModuleCheckTest, CacheOnlyFailureIsAskedOnceMoreWithTheFullCheck) {
  const std::wstring path = TrustFixture(L"good_sha1.exe");
  const std::string description = KorvexTrustVerifier::GetTrustJsonFromModule(path);
  installer_->answer = 0;
  EXPECT_FALSE(installer_->CheckModuleWithDescription(path, description, true));
  EXPECT_EQ(installer_->flags, std::vector<bool>({true, false}));

  installer_->flags.clear();
  EXPECT_FALSE(installer_->CheckModuleWithDescription(path, description, false));
  EXPECT_EQ(installer_->flags, std::vector<bool>({false}));

  installer_->flags.clear();
  installer_->answer = 1;
  EXPECT_TRUE(installer_->CheckModuleWithDescription(path, description, true));
  EXPECT_EQ(installer_->flags, std::vector<bool>({true}));

  // The real check with the cache-only shortcut trusts the good package too.
  installer_->flags.clear();
  installer_->answer = -1;
  EXPECT_TRUE(installer_->CheckModuleWithDescription(path, description, true));
  EXPECT_EQ(installer_->flags, std::vector<bool>({true}));
}

}  // namespace
}  // namespace lite_installer
