#include "brand/download_page.h"

#include "base/build_config.h"
#include "base/percent_encoding.h"
#include "base/text.h"

namespace lite_installer {
namespace {

constexpr const char* kKnownTagKeys[] = {
    "banerid", "beta", "betacusto", "bgid", "calypso", "custo",
    "expcalypso", "football", "lang", "partner_id", "tablo", "kvpartner_id",
};

struct SiteDomain {
  const char* brand_id;
  const char* domain;
};

constexpr SiteDomain kSiteDomains[] = {
    {"by", "by"}, {"int", "com"}, {"tb", "com.tr"}, {"ua", "ua"},
    {"ua-uk", "ua"}, {"ua-ru", "ua"}, {"korvex", "ru"},
};

}  // namespace

bool IsKnownTagKey(const std::string& key) {
  for (const char* known : kKnownTagKeys) {
    if (key == known) return true;
  }
  return false;
}

std::string ProductSiteDomain(const std::string& brand_id) {
  for (const SiteDomain& row : kSiteDomains) {
    if (brand_id == row.brand_id) return row.domain;
  }
  return "ru";
}

std::string DownloadPageUrl(const BrandRecord& brand, const DistribParams& parameters) {
  std::string url = "http://" + Narrow(ProductSiteStem()) + ProductSiteDomain(brand.brand_id) + "/download?";
  for (const auto& [key, value] : parameters) {
    if (IsKnownTagKey(key)) url += key + "=" + PercentEncode(value) + "&";
  }
  return url + "full=1";
}

}  // namespace lite_installer
