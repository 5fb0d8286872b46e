// The brand configuration record: which brand of the browser this run
// installs and with which settings. It is filled once on the entry's thread
// (GetInfo, the interface-language override, SetDefaults) and only read
// afterwards, by the controller's worker thread and the window alike.
#ifndef BRAND_BRAND_PACKAGE_INFO_H_
#define BRAND_BRAND_PACKAGE_INFO_H_

#include <cstdint>
#include <string>

// A yes/no setting that a document may leave unset. Only the accessors of
// BrandRecord decide what Unset means.
enum class TriState : int32_t { Unset = 0, True = 1, False = 2 };

// The fields of the record and everything about them that needs no system
// call: the accessors, the link addresses and the reset. BrandPackageInfo adds
// the operations that read packages, resources and the registry.
struct BrandRecord {
  std::string setup_url;
  std::string brand_id;
  std::string brand_name;
  std::string interface_language;
  uint32_t language_id = 1033;
  std::string license_url;
  std::string conf_policy_url;
  std::wstring work_dir;
  std::wstring brand_package_path;
  std::wstring partner_package_path;
  std::string partner_id;
  bool brand_package_loaded = false;
  bool partner_package_loaded = false;
  TriState alternate_installer_title = TriState::Unset;
  TriState send_statistics = TriState::Unset;
  TriState make_browser_default = TriState::Unset;
  TriState autodetect_language = TriState::Unset;
  TriState need_ppapi_flash = TriState::Unset;

  // True only when the setting is True.
  bool ShowInternationalTitle() const;
  bool IsPpapi() const;
  // True unless the setting is False.
  bool SendStatistics() const;
  bool MakeBrowserDefault() const;
  bool AutodetectLanguage() const;

  // license_url or conf_policy_url followed by "?lang=" and the interface
  // language, each byte widened. The language is percent-encoded and bytes
  // that no URL may hold are encoded in the address, so the shell gets one
  // well-formed address whatever the documents held.
  std::wstring LicenseLinkUrl() const;
  std::wstring PrivacyLinkUrl() const;

  // Logs "Reset brand info." and empties every text field except work_dir,
  // sets language_id to 1033 and every setting to Unset. The loaded flags
  // are kept.
  void ResetFields();
};

class BrandPackageInfo : public BrandRecord {
 public:
  // `work_dir` is the temporary folder with its trailing backslash.
  explicit BrandPackageInfo(const std::wstring& work_dir);
  // Not virtual: the record is owned by value in the entry's frame.
  ~BrandPackageInfo() = default;

  BrandPackageInfo(const BrandPackageInfo&) = delete;
  BrandPackageInfo& operator=(const BrandPackageInfo&) = delete;

  // Rebuilds the record from the package files and values stored by an
  // earlier StoreInRegistry; false when neither gives a brand.
  virtual bool RestoreFromRegistry();
  // ResetFields.
  virtual void Clear();

  // Clears the record, removes the stored values, sets the two package paths
  // and reads the partner package and then the brand package chosen by the
  // "brand-name" switch value (empty when absent). The packages' files are
  // written only by WritePackageFiles.
  void GetInfo(const std::string& brand_name_switch);
  void GetInfoFromResources(const std::string& brand_name_switch);

  // Writes the packages GetInfo chose to `partner_package_path` and
  // `brand_package_path`, created new and held (SaveAndHoldFile, whose
  // failure ends the run before the setup starts); nothing for a package
  // that was not chosen.
  void WritePackageFiles();

  // Reads the JSON document `file_name` from the cabinet `package` into the
  // fields that are still empty. A package without that document changes
  // nothing.
  void GetBrandInfo(const std::string& package, const std::string& file_name);

  // Fills every field that is still empty with its default and computes
  // language_id from the interface language.
  void SetDefaults();

  // "brand", "BrandFile" and (when a partner package was written)
  // "PartnerFile" under the browser's per-user key.
  void StoreInRegistry() const;
  void RemoveFromRegistry() const;

 private:
  // The packages chosen by GetInfo, for WritePackageFiles.
  std::string partner_package_bytes_;
  std::string brand_package_bytes_;
};

namespace lite_installer {

// The Windows language identifier of one of the fifteen interface language
// codes (exact, case-sensitive); 1033 for any other code.
uint32_t LanguageCodeToId(const std::string& code);

// The code of the user's default locale when it is one of the fifteen
// interface languages (primary and sub-language both), otherwise empty.
std::string UserLanguageCode();

// The language a brand falls back to when nothing else chose one.
std::string BrandDefaultLanguage(const std::string& brand_id);

// The user's two-letter region (ISO 3166), or empty.
std::string UserRegionCode();

// A copy of the "BIN" resource of the installer's own module with this
// number or name (the name is widened byte by byte); empty when missing.
std::string LoadBinResource(int id);
std::string LoadBinResource(const std::string& name);

}  // namespace lite_installer

#endif  // BRAND_BRAND_PACKAGE_INFO_H_
