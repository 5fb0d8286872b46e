#include "brand/brand_document.h"

#include <jansson.h>

#include "base/build_config.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/text.h"

namespace lite_installer {
namespace {

constexpr char kInstallPrefix[] = "install.";
constexpr size_t kInstallPrefixLength = sizeof(kInstallPrefix) - 1;

// Owns one Jansson reference.
class JsonDocument {
 public:
  explicit JsonDocument(json_t* root) : root_(root) {}
  ~JsonDocument() { json_decref(root_); }
  JsonDocument(const JsonDocument&) = delete;
  JsonDocument& operator=(const JsonDocument&) = delete;
  json_t* root() const { return root_; }

 private:
  json_t* root_;
};

// The value at a dotted key: each segment selects a member of the current
// object, matched exactly. Null when a member is missing or a further segment
// follows a value that is not an object.
json_t* LookupPath(json_t* root, const std::string& key) {
  json_t* current = root;
  size_t start = 0;
  while (current != nullptr) {
    const size_t dot = key.find('.', start);
    const std::string segment = key.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (!json_is_object(current)) return nullptr;
    current = json_object_get(current, segment.c_str());
    if (dot == std::string::npos) return current;
    start = dot + 1;
  }
  return nullptr;
}

bool HasInstallPrefix(const std::string& key) { return key.compare(0, kInstallPrefixLength, kInstallPrefix) == 0; }

// Copies a string value into an empty field; "install." keys fall back to the
// same key without the prefix at the top level.
void ReadStringKey(json_t* root, const std::string& key, std::string& field) {
  if (!field.empty()) return;
  json_t* value = LookupPath(root, key);
  if (!json_is_string(value) && HasInstallPrefix(key)) value = LookupPath(root, key.substr(kInstallPrefixLength));
  if (json_is_string(value)) field.assign(json_string_value(value), json_string_length(value));
}

// Sets an Unset tri-state from a JSON boolean, with the same fallback.
void ReadBoolKey(json_t* root, const std::string& key, TriState& tri) {
  if (tri != TriState::Unset) return;
  json_t* value = LookupPath(root, key);
  if (!json_is_boolean(value) && HasInstallPrefix(key)) value = LookupPath(root, key.substr(kInstallPrefixLength));
  if (json_is_boolean(value)) tri = json_is_true(value) ? TriState::True : TriState::False;
}

std::wstring Flag(bool value) { return value ? L"1" : L"0"; }

void LogSettings(const wchar_t* function, const BrandRecord& record) {
  Log(kInfo, function, __LINE__, L"Show international title: " + Flag(record.ShowInternationalTitle()));
  Log(kInfo, function, __LINE__, L"Send browser's statistics: " + Flag(record.SendStatistics()));
  Log(kInfo, function, __LINE__, L"Make browser default after import: " + Flag(record.MakeBrowserDefault()));
  Log(kInfo, function, __LINE__, L"Autodetect language: " + Flag(record.AutodetectLanguage()));
  Log(kInfo, function, __LINE__, L"Is ppapi: " + Flag(record.IsPpapi()));
}

}  // namespace

void ReadBrandDocument(const std::string& content, BrandRecord& record) {
  // Jansson reads up to the first NUL, exactly like a C string.
  const std::string text(content.c_str());
  JsonDocument document(json_loads(text.c_str(), 0, nullptr));
  json_t* root = document.root();

  ReadStringKey(root, "languages.interface", record.interface_language);
  ReadBoolKey(root, "languages.autodetection", record.autodetect_language);
  record.language_id = LanguageCodeToId(record.interface_language);
  ReadStringKey(root, "brand_id", record.brand_id);
  ReadStringKey(root, "brand_name", record.brand_name);
  ReadStringKey(root, "install.setup_url", record.setup_url);
  ReadStringKey(root, "license_url", record.license_url);
  ReadStringKey(root, "install.conf_policy_url", record.conf_policy_url);
  ReadBoolKey(root, "install.alternate_installer_title", record.alternate_installer_title);
  ReadBoolKey(root, "install.send_statistics", record.send_statistics);
  ReadBoolKey(root, "install.make_browser_default", record.make_browser_default);
  ReadBoolKey(root, "install.need_ppapi_flash", record.need_ppapi_flash);
  ReadStringKey(root, "partner_id", record.partner_id);

  constexpr const wchar_t* kFunction = log_tag::kBrandPackageInfoGetBrandInfo;
  Log(kInfo, kFunction, __LINE__, L"Brand id: " + Widen(record.brand_id));
  Log(kInfo, kFunction, __LINE__, L"Brand name: " + Widen(record.brand_name));
  Log(kInfo, kFunction, __LINE__, L"Setup url: " + Widen(record.setup_url));
  Log(kInfo, kFunction, __LINE__, L"Default language: " + Widen(record.interface_language));
  LogSettings(kFunction, record);
}

void FillBrandDefaults(const std::string& user_language_code, BrandRecord& record) {
  if (record.brand_id.empty()) record.brand_id = "korvex";
  if (record.brand_name.empty()) record.brand_name = record.brand_id;
  if (record.setup_url.empty()) {
    record.setup_url = "http://" + Narrow(DownloadHost()) + "/browser/" + record.brand_id +
                       (record.IsPpapi() ? "/browser-setup.arc" : "/flash/browser-setup.arc");
  }
  if (record.license_url.empty()) record.license_url = "http://" + Narrow(LegalHost()) + "/browser_agreement/";
  if (record.conf_policy_url.empty()) record.conf_policy_url = "http://" + Narrow(LegalHost()) + "/confidential/";
  if (record.interface_language.empty()) record.interface_language = user_language_code;
  if (record.interface_language.empty()) record.interface_language = BrandDefaultLanguage(record.brand_id);
  record.language_id = LanguageCodeToId(record.interface_language);

  constexpr const wchar_t* kFunction = log_tag::kBrandPackageInfoSetDefaults;
  Log(kInfo, kFunction, __LINE__, L"Default language: " + Widen(record.interface_language));
  Log(kInfo, kFunction, __LINE__, L"Brand id: " + Widen(record.brand_id));
  Log(kInfo, kFunction, __LINE__, L"Setup url: " + Widen(record.setup_url));
  LogSettings(kFunction, record);
}

}  // namespace lite_installer
