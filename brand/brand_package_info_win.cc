// The operations of the brand record that read the program's resources, the
// package files, the user's locale and the registry.
#include <windows.h>

#include "brand/brand_document.h"
#include "brand/brand_package_info.h"
#include "brand/cabinet_extract.h"
#include "brand/language_table.h"
#include "brand/region_brand.h"
#include "base/run_folder.h"
#include "base/environment.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/registry_store.h"
#include "base/text.h"
#include "resources/resource_ids.h"

using lite_installer::kInfo;
using lite_installer::kWarning;
using lite_installer::Log;
using lite_installer::Widen;
namespace log_tag = lite_installer::log_tag;

namespace {

// The brand name for the user's region and locale.
std::string AutodetectBrandName() {
  return lite_installer::BrandNameForRegion(lite_installer::UserRegionCode(), lite_installer::UserLanguageCode());
}

std::wstring ByteCount(const std::string& bytes) {
  return L" [" + lite_installer::ToDecimal(static_cast<uint64_t>(bytes.size())) + L"B]";
}

std::string ToUpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

BrandPackageInfo::BrandPackageInfo(const std::wstring& work_dir_path) { work_dir = work_dir_path; }

void BrandPackageInfo::Clear() { ResetFields(); }

void BrandPackageInfo::GetInfo(const std::string& brand_name_switch) {
  Clear();
  RemoveFromRegistry();
  constexpr const wchar_t* kFunction = log_tag::kBrandPackageInfoGetInfo;
  brand_package_path = work_dir + L"BrandFile";
  Log(kInfo, kFunction, __LINE__, L"Brand package path: " + brand_package_path);
  partner_package_path = work_dir + L"PartnerFile";
  Log(kInfo, kFunction, __LINE__, L"Partner package path: " + partner_package_path);
  GetInfoFromResources(brand_name_switch);
}

void BrandPackageInfo::GetInfoFromResources(const std::string& brand_name_switch) {
  constexpr const wchar_t* kFunction = log_tag::kBrandPackageInfoGetInfoFromResources;
  const std::string partner_package = lite_installer::LoadBinResource(IDR_PARTNER_PACKAGE);
  if (!partner_package.empty()) {
    Log(kInfo, kFunction, __LINE__,
        L"Extract Partner package: " + partner_package_path + ByteCount(partner_package));
    partner_package_bytes_ = partner_package;
    partner_package_loaded = true;
    GetBrandInfo(partner_package, "partner_config");
  } else {
    Log(kWarning, kFunction, __LINE__, L"Partner package is empty.");
  }

  std::string brand_package;
  if (brand_name_switch == "auto") {
    const std::string name = ToUpperAscii(AutodetectBrandName());
    Log(kInfo, kFunction, __LINE__, L"Fetching autodetected " + Widen(name) + L" package");
    brand_package = lite_installer::LoadBinResource("BRAND_" + name);
  } else if (!brand_name_switch.empty()) {
    Log(kInfo, kFunction, __LINE__, L"Fetching defined " + Widen(brand_name_switch) + L" package");
    brand_package = lite_installer::LoadBinResource("BRAND_" + ToUpperAscii(brand_name_switch));
  }
  if (brand_package.empty()) {
    Log(kInfo, kFunction, __LINE__, L"Fetching default package");
    brand_package = lite_installer::LoadBinResource(IDR_DEFAULT_BRAND_PACKAGE);
    if (brand_package.empty()) {
      Log(kWarning, kFunction, __LINE__, L"Brand package is empty.");
      return;
    }
  }
  Log(kInfo, kFunction, __LINE__, L"Extract Brand package: " + brand_package_path + ByteCount(brand_package));
  brand_package_bytes_ = brand_package;
  brand_package_loaded = true;
  GetBrandInfo(brand_package, "brand_config");
}

void BrandPackageInfo::WritePackageFiles() {
  if (!partner_package_bytes_.empty()) lite_installer::SaveAndHoldFile(partner_package_path, partner_package_bytes_);
  if (!brand_package_bytes_.empty()) lite_installer::SaveAndHoldFile(brand_package_path, brand_package_bytes_);
}

void BrandPackageInfo::GetBrandInfo(const std::string& package, const std::string& file_name) {
  lite_installer::CabinetFiles files;
  lite_installer::ExtractCabinetFile(package, file_name, &files);
  const auto document = files.find(file_name);
  if (document == files.end()) return;
  lite_installer::ReadBrandDocument(document->second, *this);
}

void BrandPackageInfo::SetDefaults() { lite_installer::FillBrandDefaults(lite_installer::UserLanguageCode(), *this); }

void BrandPackageInfo::StoreInRegistry() const {
  lite_installer::StoreValueInRegistry(L"brand", Widen(brand_name));
  lite_installer::StoreValueInRegistry(L"BrandFile", brand_package_path);
  if (partner_package_loaded) lite_installer::StoreValueInRegistry(L"PartnerFile", partner_package_path);
}

void BrandPackageInfo::RemoveFromRegistry() const {
  lite_installer::RemoveValueFromRegistry(L"brand");
  lite_installer::RemoveValueFromRegistry(L"BrandFile");
  lite_installer::RemoveValueFromRegistry(L"PartnerFile");
}

bool BrandPackageInfo::RestoreFromRegistry() {
  brand_package_path = lite_installer::ReadFilePathFromRegistry(L"BrandFile");
  partner_package_path = lite_installer::ReadFilePathFromRegistry(L"PartnerFile");
  if (!brand_package_path.empty() || !partner_package_path.empty()) {
    const std::string partner_package =
        partner_package_path.empty() ? std::string() : LoadFileBytes(partner_package_path);
    if (!partner_package.empty()) {
      partner_package_loaded = true;
      GetBrandInfo(partner_package, "partner_config");
    }
    const std::string brand_package = brand_package_path.empty() ? std::string() : LoadFileBytes(brand_package_path);
    if (!brand_package.empty()) {
      brand_package_loaded = true;
      GetBrandInfo(brand_package, "brand_config");
    }
    if (!brand_id.empty()) return true;
  }
  brand_name = lite_installer::Narrow(lite_installer::ReadStringFromRegistry(L"brand"));
  interface_language = lite_installer::Narrow(lite_installer::ReadStringFromRegistry(L"lang"));
  if (brand_name.empty() || interface_language.empty()) return false;
  language_id = lite_installer::LanguageCodeToId(interface_language);
  return true;
}

namespace lite_installer {

std::string UserLanguageCode() { return LanguageCodeForId(GetUserDefaultLangID()); }

std::string UserRegionCode() {
  const GEOID nation = GetUserGeoID(GEOCLASS_NATION);
  if (nation == GEOID_NOT_AVAILABLE) return std::string();
  wchar_t letters[3] = {};
  if (GetGeoInfoW(nation, GEO_ISO2, letters, 3, 0) != 3) return std::string();
  return Narrow(std::wstring(letters, 2));
}

namespace {

std::string LoadBinResourceFrom(const wchar_t* name) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, name, L"BIN");
  if (resource == nullptr) return std::string();
  HGLOBAL loaded = LoadResource(module, resource);
  if (loaded == nullptr) return std::string();
  const void* bytes = LockResource(loaded);
  const DWORD size = SizeofResource(module, resource);
  if (bytes == nullptr || size == 0) return std::string();
  return std::string(static_cast<const char*>(bytes), size);
}

}  // namespace

std::string LoadBinResource(int id) { return LoadBinResourceFrom(MAKEINTRESOURCEW(id)); }

std::string LoadBinResource(const std::string& name) { return LoadBinResourceFrom(Widen(name).c_str()); }

}  // namespace lite_installer
