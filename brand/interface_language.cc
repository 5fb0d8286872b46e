#include "brand/interface_language.h"

#include "base/log.h"
#include "base/log_tags.h"

namespace lite_installer {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsLanguageCode(const std::string& text) {
  if (text.empty() || text.size() > kMaxLanguageCodeChars) return false;
  size_t i = 0;
  while (i < text.size() && IsAsciiLetter(text[i])) ++i;
  if (i == 0) return false;
  if (i == text.size()) return true;
  if (text[i] != '-' || i + 1 == text.size()) return false;
  for (++i; i < text.size(); ++i) {
    if (!IsAsciiLetter(text[i]) && !IsAsciiDigit(text[i])) return false;
  }
  return true;
}

void OverrideInterfaceLanguage(const std::string* lang_parameter, BrandRecord& brand) {
  if (lang_parameter != nullptr && !lang_parameter->empty() && !IsLanguageCode(*lang_parameter)) {
    Log(kWarning, log_tag::kOverrideInterfaceLanguage, __LINE__,
        L"The \"lang\" parameter is not a language code and is ignored.");
    lang_parameter = nullptr;
  }
  if (lang_parameter != nullptr) {
    brand.interface_language = *lang_parameter;
  } else if (brand.brand_id == "int" && brand.autodetect_language != TriState::False) {
    brand.interface_language.clear();
  }
}

}  // namespace lite_installer
