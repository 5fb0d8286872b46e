// The brand record's registry values and its rebuild from them, with real
// package files and the per-user registry of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "brand/brand_package_info.h"
#include "base/environment.h"
#include "base/registry_store.h"
#include "base/run_folder.h"
#include "resources/resource_ids.h"

namespace lite_installer {
namespace {

std::string Cabinet(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"..\\tests\\brand\\cabinets\\" + name;
  return LoadFileBytes(path);
}

class BrandRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work_dir_ = GetTemporaryPath() + L"brand_registry_wintest\\";
    CreateDirectoryW(work_dir_.c_str(), nullptr);
  }
  void TearDown() override {
    ReleaseHeldFiles();
    DeleteFileW((work_dir_ + L"BrandFile").c_str());
    DeleteFileW((work_dir_ + L"PartnerFile").c_str());
    RemoveDirectoryW(work_dir_.c_str());
    RemoveValueFromRegistry(L"brand");
    RemoveValueFromRegistry(L"BrandFile");
    RemoveValueFromRegistry(L"PartnerFile");
    RemoveValueFromRegistry(L"lang");
  }
  std::wstring work_dir_;
};

TEST_F(BrandRegistryTest, GetInfoWritesAndReadsThePackageOfThisProgram) {
  StoreValueInRegistry(L"brand", L"stale");
  BrandPackageInfo brand(work_dir_);
  brand.GetInfo("tb");
  brand.WritePackageFiles();
  EXPECT_EQ(L"", ReadStringFromRegistry(L"brand")) << "GetInfo removes the stored values";
  EXPECT_EQ(work_dir_ + L"BrandFile", brand.brand_package_path);
  EXPECT_EQ(work_dir_ + L"PartnerFile", brand.partner_package_path);
  EXPECT_TRUE(brand.brand_package_loaded);
  EXPECT_FALSE(brand.partner_package_loaded) << "this build has no partner package";
  const std::string package = LoadBinResource("BRAND_TB");
  ASSERT_FALSE(package.empty());
  EXPECT_EQ(package, LoadFileBytes(brand.brand_package_path));
  EXPECT_EQ("tb", brand.brand_id);

  BrandPackageInfo fallback(work_dir_);
  fallback.GetInfo("no-such-brand");
  fallback.WritePackageFiles();
  EXPECT_EQ(LoadBinResource(IDR_DEFAULT_BRAND_PACKAGE), LoadFileBytes(fallback.brand_package_path));
  EXPECT_EQ("int", fallback.brand_id);
  EXPECT_EQ("", LoadBinResource(IDR_PARTNER_PACKAGE));
  EXPECT_EQ("", LoadBinResource("BRAND_NO-SUCH-BRAND"));
}

TEST_F(BrandRegistryTest, StoredPackagesRebuildTheRecord) {
  BrandPackageInfo stored(work_dir_);
  stored.GetInfo("");
  ReleaseHeldFiles();  // as after the setup ended: the test may rewrite the files
  stored.brand_name = "fixture-name";
  ASSERT_TRUE(SaveBytesToFile(stored.brand_package_path, Cabinet(L"single.cab")));
  stored.StoreInRegistry();
  EXPECT_EQ(L"fixture-name", ReadStringFromRegistry(L"brand"));
  EXPECT_EQ(stored.brand_package_path, ReadStringFromRegistry(L"BrandFile"));
  EXPECT_EQ(L"", ReadStringFromRegistry(L"PartnerFile")) << "no partner package was written";

  BrandPackageInfo restored(work_dir_);
  EXPECT_TRUE(restored.RestoreFromRegistry());
  EXPECT_TRUE(restored.brand_package_loaded);
  EXPECT_FALSE(restored.partner_package_loaded);
  EXPECT_EQ("fixture", restored.brand_id);
  EXPECT_EQ("de", restored.interface_language);
  EXPECT_EQ(1031u, restored.language_id);

  stored.RemoveFromRegistry();
  EXPECT_EQ(L"", ReadStringFromRegistry(L"BrandFile"));
  EXPECT_EQ(L"", ReadStringFromRegistry(L"brand"));
}

TEST_F(BrandRegistryTest, PartnerPathIsStoredOnlyWhenItsPackageWasWritten) {
  BrandPackageInfo stored(work_dir_);
  stored.GetInfo("");
  stored.WritePackageFiles();
  ReleaseHeldFiles();
  ASSERT_TRUE(DeleteFileW(stored.brand_package_path.c_str()));
  stored.partner_package_loaded = true;
  ASSERT_TRUE(SaveBytesToFile(stored.partner_package_path, Cabinet(L"not_a_cab.bin")));
  stored.StoreInRegistry();
  EXPECT_EQ(stored.partner_package_path, ReadStringFromRegistry(L"PartnerFile"));

  // A partner file that is no cabinet and no brand file: nothing gives a
  // brand id, and without a stored language the rebuild fails.
  BrandPackageInfo restored(work_dir_);
  EXPECT_FALSE(restored.RestoreFromRegistry());
  EXPECT_TRUE(restored.partner_package_loaded);
  EXPECT_EQ("", restored.brand_id);
}

TEST_F(BrandRegistryTest, WithoutPackageFilesTheStoredBrandAndLanguageCount) {
  StoreValueInRegistry(L"brand", L"tb");
  StoreValueInRegistry(L"BrandFile", work_dir_ + L"BrandFile");  // no such file
  BrandPackageInfo without_language(work_dir_);
  EXPECT_FALSE(without_language.RestoreFromRegistry());
  EXPECT_EQ(L"", without_language.brand_package_path);

  StoreValueInRegistry(L"lang", L"uk");
  BrandPackageInfo restored(work_dir_);
  EXPECT_TRUE(restored.RestoreFromRegistry());
  EXPECT_EQ("tb", restored.brand_name);
  EXPECT_EQ("uk", restored.interface_language);
  EXPECT_EQ(1058u, restored.language_id);
}

}  // namespace
}  // namespace lite_installer
