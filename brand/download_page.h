// The product site's download page for the full installer, carrying the
// distribution parameters that the page understands. No system calls.
#ifndef BRAND_DOWNLOAD_PAGE_H_
#define BRAND_DOWNLOAD_PAGE_H_

#include <string>

#include "brand/brand_package_info.h"
#include "install/distrib_info_params.h"

namespace lite_installer {

// True for the twelve parameter keys passed on to the download page.
bool IsKnownTagKey(const std::string& key);

// The product site's top-level domain for a brand; "ru" for unknown brands.
std::string ProductSiteDomain(const std::string& brand_id);

// "http://" + site stem + domain + "/download?" + every known key in key
// order as "key=value&" + "full=1". Values are copied unescaped.
std::string DownloadPageUrl(const BrandRecord& brand, const DistribParams& parameters);

// The interface-language override between reading the packages and the
// defaults: the "lang" parameter (`lang_parameter`, null when absent) wins,
// even when empty; otherwise the "int" brand with autodetection not switched
// off has its language emptied so that the user's locale decides.
void OverrideInterfaceLanguage(const std::string* lang_parameter, BrandRecord& brand);

}  // namespace lite_installer

#endif  // BRAND_DOWNLOAD_PAGE_H_
