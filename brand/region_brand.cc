#include "brand/region_brand.h"

#include "base/log.h"
#include "base/log_tags.h"
#include "base/text.h"

namespace lite_installer {
namespace {

struct RegionRow {
  const char* region;  // "" matches any region
  const char* locale;  // "" matches any locale
  const char* brand_name;
};

// Tried in this order; the first match wins.
constexpr RegionRow kRegionTable[] = {
    {"RU", "uk", "ua_uk"}, {"RU", "", "korvex"}, {"UA", "ru", "ua_ru"}, {"UA", "", "ua_uk"},
    {"TR", "", "tb"},      {"", "ru", "korvex"}, {"", "uk", "ua_uk"},   {"", "tr", "tb"},
};

bool CellMatches(const char* cell, const std::string& value) { return cell[0] == '\0' || value == cell; }

}  // namespace

std::string BrandNameForRegion(const std::string& region, const std::string& locale) {
  // The name the records have always carried for this step.
  constexpr const wchar_t* kFunction = log_tag::kAutodetectBrandName;
  Log(kInfo, kFunction, __LINE__, L"User region: " + Widen(region));
  Log(kInfo, kFunction, __LINE__, L"User locale: " + Widen(locale));
  for (const RegionRow& row : kRegionTable) {
    if (CellMatches(row.region, region) && CellMatches(row.locale, locale)) {
      Log(kInfo, kFunction, __LINE__, L"Detected brand-name: " + Widen(row.brand_name));
      return row.brand_name;
    }
  }
  Log(kInfo, kFunction, __LINE__, L"Didn't found brand-name. Use default: korvex");
  return "korvex";
}

}  // namespace lite_installer
