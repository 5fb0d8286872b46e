// Choosing a brand name from the user's region and locale. No system calls.
#ifndef BRAND_REGION_BRAND_H_
#define BRAND_REGION_BRAND_H_

#include <string>

namespace lite_installer {

// Logs the region and the locale, then returns the brand name of the first
// region-table row that matches both (an empty cell matches anything), or
// "korvex" when none does. Comparisons are exact and case-sensitive.
std::string BrandNameForRegion(const std::string& region, const std::string& locale);

}  // namespace lite_installer

#endif  // BRAND_REGION_BRAND_H_
