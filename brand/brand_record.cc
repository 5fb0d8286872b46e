#include "brand/brand_package_info.h"

#include "base/log.h"
#include "base/log_tags.h"
#include "base/percent_encoding.h"
#include "base/text.h"

bool BrandRecord::ShowInternationalTitle() const { return alternate_installer_title == TriState::True; }
bool BrandRecord::IsPpapi() const { return need_ppapi_flash == TriState::True; }
bool BrandRecord::SendStatistics() const { return send_statistics != TriState::False; }
bool BrandRecord::MakeBrowserDefault() const { return make_browser_default != TriState::False; }
bool BrandRecord::AutodetectLanguage() const { return autodetect_language != TriState::False; }

std::wstring BrandRecord::LicenseLinkUrl() const {
  return lite_installer::Widen(lite_installer::EncodeUnsafeUrlBytes(license_url) + "?lang=" +
                               lite_installer::PercentEncode(interface_language));
}

std::wstring BrandRecord::PrivacyLinkUrl() const {
  return lite_installer::Widen(lite_installer::EncodeUnsafeUrlBytes(conf_policy_url) + "?lang=" +
                               lite_installer::PercentEncode(interface_language));
}

void BrandRecord::ResetFields() {
  lite_installer::Log(lite_installer::kInfo, lite_installer::log_tag::kBrandPackageInfoClear, __LINE__, L"Reset brand info.");
  brand_id.clear();
  brand_name.clear();
  setup_url.clear();
  interface_language.clear();
  brand_package_path.clear();
  partner_package_path.clear();
  partner_id.clear();
  license_url.clear();
  conf_policy_url.clear();
  language_id = 1033;
  alternate_installer_title = TriState::Unset;
  send_statistics = TriState::Unset;
  make_browser_default = TriState::Unset;
  autodetect_language = TriState::Unset;
  need_ppapi_flash = TriState::Unset;
}
