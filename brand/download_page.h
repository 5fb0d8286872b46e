// The product site's download page for the full installer, carrying the
// distribution parameters that the page understands. No system calls.
#ifndef BRAND_DOWNLOAD_PAGE_H_
#define BRAND_DOWNLOAD_PAGE_H_

#include <string>

#include "brand/brand_package_info.h"
#include "brand/distribution_tag.h"

namespace lite_installer {

// True for the twelve parameter keys passed on to the download page.
bool IsKnownTagKey(const std::string& key);

// The product site's top-level domain for a brand; "ru" for unknown brands.
std::string ProductSiteDomain(const std::string& brand_id);

// "http://" + site stem + domain + "/download?" + every known key in key
// order as "key=value&" + "full=1". Each value is percent-encoded, so that no
// parameter can add a path, a query pair or a fragment to the address the
// shell opens.
std::string DownloadPageUrl(const BrandRecord& brand, const DistribParams& parameters);

}  // namespace lite_installer

#endif  // BRAND_DOWNLOAD_PAGE_H_
