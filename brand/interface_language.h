// The interface-language decision between reading the brand packages and the
// defaults. No system calls.
#ifndef BRAND_INTERFACE_LANGUAGE_H_
#define BRAND_INTERFACE_LANGUAGE_H_

#include <string>

#include "brand/brand_package_info.h"

namespace lite_installer {

// Longest language code taken from the distribution parameters.
constexpr size_t kMaxLanguageCodeChars = 10;

// True for a language code: ASCII letters, optionally "-" and a region of
// ASCII letters or digits ("uk", "pt-BR", "es-419"), at most 10 characters.
bool IsLanguageCode(const std::string& text);

// The override: the "lang" parameter (`lang_parameter`, null when absent)
// wins, even when empty; otherwise the "int" brand with autodetection not
// switched off has its language emptied so that the user's locale decides.
// A parameter that is neither empty nor a language code is ignored with a
// WARNING, as if it were absent: it would reach the registry, the links and
// the window otherwise.
void OverrideInterfaceLanguage(const std::string* lang_parameter, BrandRecord& brand);

}  // namespace lite_installer

#endif  // BRAND_INTERFACE_LANGUAGE_H_
