#include "brand/language_table.h"

#include "brand/brand_package_info.h"

namespace lite_installer {
namespace {

struct Language {
  const char* code;
  uint32_t id;
};

// Searched in this order; the first exact match counts.
constexpr Language kLanguages[] = {
    {"ru", 1049}, {"uk", 1058},    {"tr", 1055},    {"de", 1031},    {"es", 3082},
    {"fr", 1036}, {"it", 1040},    {"ja", 1041},    {"pt-PT", 2070}, {"pt-BR", 1046},
    {"zh-CN", 2052}, {"zh-TW", 1028}, {"kk", 1087}, {"cs", 1029},    {"en", 1033},
};

constexpr uint32_t kEnglishId = 1033;

}  // namespace

uint32_t LanguageCodeToId(const std::string& code) {
  for (const Language& language : kLanguages) {
    if (code == language.code) return language.id;
  }
  return kEnglishId;
}

std::string LanguageCodeForId(uint32_t language_id) {
  for (const Language& language : kLanguages) {
    if (language.id == language_id) return language.code;
  }
  return std::string();
}

std::string BrandDefaultLanguage(const std::string& brand_id) {
  if (brand_id == "korvex" || brand_id == "by" || brand_id == "kz") return "ru";
  if (brand_id == "ua") return "uk";
  if (brand_id == "tb") return "tr";
  return "en";
}

}  // namespace lite_installer
