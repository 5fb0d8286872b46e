// The language table, brand fallback languages, the region table and the
// interface-language override.
#include <gtest/gtest.h>

#include "brand/interface_language.h"
#include "brand/language_table.h"
#include "brand/region_brand.h"
#include "tests/support/captured_log.h"
#include "base/log_tags.h"

namespace lite_installer {
namespace {

using testing::CapturedLog;
using testing::ClearCapturedLog;

TEST(LanguageTableTest, CodesAndIdentifiersMatchExactly) {
  EXPECT_EQ(1049u, LanguageCodeToId("ru"));
  EXPECT_EQ(2070u, LanguageCodeToId("pt-PT"));
  EXPECT_EQ(1028u, LanguageCodeToId("zh-TW"));
  EXPECT_EQ(1087u, LanguageCodeToId("kk"));
  EXPECT_EQ(1033u, LanguageCodeToId("RU"));
  EXPECT_EQ(1033u, LanguageCodeToId("pt"));
  EXPECT_EQ(1033u, LanguageCodeToId(""));
  EXPECT_EQ("pt-BR", LanguageCodeForId(1046));
  EXPECT_EQ("es", LanguageCodeForId(3082));
  EXPECT_EQ("", LanguageCodeForId(2057)) << "English (United Kingdom) is not in the table";
  EXPECT_EQ("", LanguageCodeForId(1034)) << "Spanish, traditional sort";
  EXPECT_EQ("", LanguageCodeForId(0));
}

TEST(LanguageTableTest, EveryCodeRoundTrips) {
  for (const char* code : {"ru", "uk", "tr", "de", "es", "fr", "it", "ja", "pt-PT", "pt-BR", "zh-CN", "zh-TW",
                           "kk", "cs", "en"}) {
    EXPECT_EQ(code, LanguageCodeForId(LanguageCodeToId(code)));
  }
}

TEST(LanguageTableTest, BrandDefaultLanguages) {
  EXPECT_EQ("ru", BrandDefaultLanguage("korvex"));
  EXPECT_EQ("ru", BrandDefaultLanguage("by"));
  EXPECT_EQ("ru", BrandDefaultLanguage("kz"));
  EXPECT_EQ("uk", BrandDefaultLanguage("ua"));
  EXPECT_EQ("tr", BrandDefaultLanguage("tb"));
  EXPECT_EQ("en", BrandDefaultLanguage("int"));
  EXPECT_EQ("en", BrandDefaultLanguage("ua-uk"));
  EXPECT_EQ("en", BrandDefaultLanguage(""));
}

TEST(RegionBrandTest, RowsAreTriedInOrder) {
  EXPECT_EQ("ua_uk", BrandNameForRegion("RU", "uk"));
  EXPECT_EQ("korvex", BrandNameForRegion("RU", "en"));
  EXPECT_EQ("ua_ru", BrandNameForRegion("UA", "ru"));
  EXPECT_EQ("ua_uk", BrandNameForRegion("UA", ""));
  EXPECT_EQ("tb", BrandNameForRegion("TR", "de"));
  EXPECT_EQ("korvex", BrandNameForRegion("DE", "ru"));
  EXPECT_EQ("ua_uk", BrandNameForRegion("", "uk"));
  EXPECT_EQ("tb", BrandNameForRegion("US", "tr"));
  EXPECT_EQ("korvex", BrandNameForRegion("ua", "ru")) << "regions compare case-sensitively: row 6";
}

TEST(RegionBrandTest, NoMatchFallsBackToKorvexAndSaysSo) {
  ClearCapturedLog();
  EXPECT_EQ("korvex", BrandNameForRegion("KZ", "kk"));
  ASSERT_EQ(3u, CapturedLog().size());
  EXPECT_EQ(log_tag::kAutodetectBrandName, CapturedLog()[0].function);
  EXPECT_EQ(L"User region: KZ", CapturedLog()[0].message);
  EXPECT_EQ(L"User locale: kk", CapturedLog()[1].message);
  EXPECT_EQ(L"Didn't found brand-name. Use default: korvex", CapturedLog()[2].message);

  ClearCapturedLog();
  EXPECT_EQ("korvex", BrandNameForRegion("", ""));
  EXPECT_EQ(L"Didn't found brand-name. Use default: korvex", CapturedLog().back().message);
}

TEST(RegionBrandTest, MatchIsLogged) {
  ClearCapturedLog();
  BrandNameForRegion("UA", "uk");
  EXPECT_EQ(L"Detected brand-name: ua_uk", CapturedLog().back().message);
}

TEST(InterfaceLanguageTest, LangParameterOverwritesEvenWhenEmpty) {
  BrandRecord record;
  record.brand_id = "int";
  record.interface_language = "en";
  const std::string tr = "tr";
  OverrideInterfaceLanguage(&tr, record);
  EXPECT_EQ("tr", record.interface_language);
  const std::string empty;
  OverrideInterfaceLanguage(&empty, record);
  EXPECT_EQ("", record.interface_language);
}

TEST(InterfaceLanguageTest, ParameterThatIsNoLanguageCodeIsIgnoredWithAWarning) {
  for (const char* code : {"uk", "pt-BR", "es-419", "abcdefghij"}) EXPECT_TRUE(IsLanguageCode(code)) << code;
  for (const char* bad : {"tr\r\nzz", "#x", "-", "en-", "-US", "en-US-x", "abcdefghijk", "e n", "1a",
                          "\xc3\xa9"}) {
    EXPECT_FALSE(IsLanguageCode(bad)) << bad;
    BrandRecord record;
    record.brand_id = "int";
    record.interface_language = "en";
    record.autodetect_language = TriState::False;
    ClearCapturedLog();
    const std::string parameter = bad;
    OverrideInterfaceLanguage(&parameter, record);
    EXPECT_EQ("en", record.interface_language) << "the documents' value stands";
    ASSERT_EQ(1u, CapturedLog().size());
    EXPECT_EQ(kWarning, CapturedLog()[0].level);
  }
  EXPECT_FALSE(IsLanguageCode(std::string("tr\0zz", 5)));
}

TEST(InterfaceLanguageTest, IntBrandFollowsTheUserUnlessAutodetectionIsOff) {
  BrandRecord record;
  record.brand_id = "int";
  record.interface_language = "en";
  OverrideInterfaceLanguage(nullptr, record);
  EXPECT_EQ("", record.interface_language);

  record.interface_language = "en";
  record.autodetect_language = TriState::True;
  OverrideInterfaceLanguage(nullptr, record);
  EXPECT_EQ("", record.interface_language);

  record.interface_language = "en";
  record.autodetect_language = TriState::False;
  OverrideInterfaceLanguage(nullptr, record);
  EXPECT_EQ("en", record.interface_language);

  BrandRecord upper;
  upper.brand_id = "INT";
  upper.interface_language = "en";
  OverrideInterfaceLanguage(nullptr, upper);
  EXPECT_EQ("en", upper.interface_language);
}

}  // namespace
}  // namespace lite_installer
