// The download page address for the full installer.
#include "brand/download_page.h"
#include "install/distrib_info_params.h"

#include <gtest/gtest.h>

#include "base/build_config.h"
#include "base/text.h"

namespace lite_installer {
namespace {

std::string Site() { return "http://" + Narrow(ProductSiteStem()); }

BrandRecord Brand(const std::string& brand_id) {
  BrandRecord brand;
  brand.brand_id = brand_id;
  return brand;
}

TEST(DownloadPageTest, KnownKeysInKeyOrderThenFull) {
  DistribParams params;
  ParseQueryString("lang=uk&banerid=7&foo=1", params);
  EXPECT_EQ(Site() + "com.tr/download?banerid=7&lang=uk&full=1", DownloadPageUrl(Brand("tb"), params));

  DistribParams partner;
  ParseQueryString("partner_id=6&bgid=2", partner);
  EXPECT_EQ(Site() + "ru/download?bgid=2&partner_id=6&full=1", DownloadPageUrl(Brand("korvex"), partner));
}

TEST(DownloadPageTest, NoKnownKeysGivesFullOnlyAndValuesAreEncoded) {
  EXPECT_EQ(Site() + "com/download?full=1", DownloadPageUrl(Brand("int"), DistribParams{}));
  DistribParams params{{"custo", "a b&c"}, {"LANG", "x"}, {"kvpartner_id", ""}, {"lang", "#x\"y"}};
  EXPECT_EQ(Site() + "ua/download?custo=a%20b%26c&kvpartner_id=&lang=%23x%22y&full=1",
            DownloadPageUrl(Brand("ua-uk"), params));
}

TEST(DownloadPageTest, SiteDomainsByBrand) {
  EXPECT_EQ("by", ProductSiteDomain("by"));
  EXPECT_EQ("com", ProductSiteDomain("int"));
  EXPECT_EQ("com.tr", ProductSiteDomain("tb"));
  EXPECT_EQ("ua", ProductSiteDomain("ua"));
  EXPECT_EQ("ua", ProductSiteDomain("ua-ru"));
  EXPECT_EQ("ru", ProductSiteDomain("ua_uk")) << "underscore names are region-table names, not brand ids";
  EXPECT_EQ("ru", ProductSiteDomain("kz"));
  EXPECT_EQ("ru", ProductSiteDomain(""));
}

TEST(DownloadPageTest, ExactlyTwelveKnownKeys) {
  int known = 0;
  for (const char* key : {"banerid", "beta", "betacusto", "bgid", "calypso", "custo", "expcalypso", "football",
                          "lang", "partner_id", "tablo", "kvpartner_id", "browser", "pps", "korvexuid", "zih",
                          "download_date", "Lang", ""}) {
    known += IsKnownTagKey(key) ? 1 : 0;
  }
  EXPECT_EQ(12, known);
}

}  // namespace
}  // namespace lite_installer
