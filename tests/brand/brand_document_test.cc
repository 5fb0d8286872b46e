// Reading brand documents into the record and filling the defaults.
#include "brand/brand_document.h"

#include <gtest/gtest.h>

#include "base/build_config.h"
#include "base/text.h"
#include "tests/support/captured_log.h"
#include "base/log_tags.h"

namespace lite_installer {
namespace {

using testing::CapturedLog;
using testing::ClearCapturedLog;
using testing::LogContains;

TEST(BrandDocumentTest, PartnerDocumentWinsOverBrandDocument) {
  BrandRecord record;
  ReadBrandDocument(R"({"brand_id": "a", "partner_id": "", "languages": {"interface": "uk"}})", record);
  ReadBrandDocument(R"({"brand_id": "b", "brand_name": "B", "partner_id": "77",
                        "languages": {"interface": "de", "autodetection": false}})",
                    record);
  EXPECT_EQ("a", record.brand_id);
  EXPECT_EQ("B", record.brand_name) << "a field the stronger document left out is filled by the weaker";
  EXPECT_EQ("uk", record.interface_language);
  EXPECT_EQ(1058u, record.language_id);
  EXPECT_EQ("77", record.partner_id) << "an empty string leaves the field fillable";
  EXPECT_EQ(TriState::False, record.autodetect_language);
}

TEST(BrandDocumentTest, EmptyPartnerIdStaysEmptyThroughDefaults) {
  BrandRecord record;
  ReadBrandDocument(R"({"partner_id": ""})", record);
  FillBrandDefaults("", record);
  EXPECT_EQ("", record.partner_id);
}

TEST(BrandDocumentTest, NestedInstallKeyWinsOverFlatKey) {
  BrandRecord flat;
  ReadBrandDocument(R"({"setup_url": "y", "conf_policy_url": "p", "need_ppapi_flash": true})", flat);
  EXPECT_EQ("y", flat.setup_url);
  EXPECT_EQ("p", flat.conf_policy_url);
  EXPECT_TRUE(flat.IsPpapi());

  BrandRecord both;
  ReadBrandDocument(R"({"install": {"setup_url": "x", "need_ppapi_flash": false},
                        "setup_url": "y", "need_ppapi_flash": true})",
                    both);
  EXPECT_EQ("x", both.setup_url);
  EXPECT_EQ(TriState::False, both.need_ppapi_flash);
}

TEST(BrandDocumentTest, WrongTypesNeverConvert) {
  BrandRecord record;
  ReadBrandDocument(R"({"install": {"send_statistics": "false", "setup_url": 5},
                        "alternate_installer_title": 1, "brand_id": true,
                        "languages": {"interface": null, "autodetection": "false"}})",
                    record);
  EXPECT_EQ(TriState::Unset, record.send_statistics);
  EXPECT_TRUE(record.SendStatistics()) << "a string \"false\" is no boolean";
  EXPECT_EQ("", record.setup_url);
  EXPECT_EQ(TriState::Unset, record.alternate_installer_title);
  EXPECT_EQ("", record.brand_id);
  EXPECT_EQ("", record.interface_language);
  EXPECT_TRUE(record.AutodetectLanguage());
}

TEST(BrandDocumentTest, StringFalseFallsBackToTopLevelBoolean) {
  BrandRecord record;
  ReadBrandDocument(R"({"install": {"send_statistics": "false"}, "send_statistics": false})", record);
  EXPECT_FALSE(record.SendStatistics());
}

TEST(BrandDocumentTest, KeysNeverAddressDottedMemberNamesOrNonObjects) {
  BrandRecord record;
  ReadBrandDocument(R"({"languages.interface": "de", "install": "flat", "languages": ["interface"]})", record);
  EXPECT_EQ("", record.interface_language);
  EXPECT_EQ(1033u, record.language_id);
}

TEST(BrandDocumentTest, DocumentThatDoesNotParseChangesNothingButIsSummarised) {
  for (const char* text : {"{\"brand_id\": \"x\"", "not json", "\"brand_id\"", "{} trailing", ""}) {
    BrandRecord record;
    record.brand_name = "kept";
    ClearCapturedLog();
    ReadBrandDocument(text, record);
    EXPECT_EQ("kept", record.brand_name) << text;
    EXPECT_EQ("", record.brand_id) << text;
    EXPECT_EQ(9u, CapturedLog().size()) << text;
    EXPECT_TRUE(LogContains(L"Brand name: kept"));
  }
}

TEST(BrandDocumentTest, ContentIsReadUpToTheFirstNul) {
  BrandRecord record;
  ReadBrandDocument(std::string("{\"brand_id\": \"x\"}\0garbage", 26), record);
  EXPECT_EQ("x", record.brand_id);
}

TEST(BrandDocumentTest, DuplicateKeyTakesTheLaterValue) {
  BrandRecord record;
  ReadBrandDocument(R"({"brand_id": "first", "brand_id": "second"})", record);
  EXPECT_EQ("second", record.brand_id);
}

TEST(BrandDocumentTest, SummaryRecordsCarryTheValuesAndFlags) {
  BrandRecord record;
  ClearCapturedLog();
  ReadBrandDocument(R"({"brand_id": "tb", "languages": {"autodetection": false},
                        "install": {"alternate_installer_title": true}})",
                    record);
  ASSERT_EQ(9u, CapturedLog().size());
  EXPECT_EQ(log_tag::kBrandPackageInfoGetBrandInfo, CapturedLog()[0].function);
  EXPECT_EQ(L"Brand id: tb", CapturedLog()[0].message);
  EXPECT_EQ(L"Show international title: 1", CapturedLog()[4].message);
  EXPECT_EQ(L"Autodetect language: 0", CapturedLog()[7].message);
  EXPECT_EQ(L"Is ppapi: 0", CapturedLog()[8].message);
}

TEST(BrandDefaultsTest, NoDocumentGivesTheKorvexDefaults) {
  BrandRecord record;
  ClearCapturedLog();
  FillBrandDefaults("", record);
  EXPECT_EQ("korvex", record.brand_id);
  EXPECT_EQ("korvex", record.brand_name);
  EXPECT_EQ("http://" + Narrow(DownloadHost()) + "/browser/korvex/flash/browser-setup.arc", record.setup_url);
  EXPECT_EQ("http://" + Narrow(LegalHost()) + "/browser_agreement/", record.license_url);
  EXPECT_EQ("http://" + Narrow(LegalHost()) + "/confidential/", record.conf_policy_url);
  EXPECT_EQ("ru", record.interface_language);
  EXPECT_EQ(1049u, record.language_id);
  ASSERT_EQ(8u, CapturedLog().size());
  EXPECT_EQ(log_tag::kBrandPackageInfoSetDefaults, CapturedLog()[0].function);
  EXPECT_EQ(L"Default language: ru", CapturedLog()[0].message);
  EXPECT_EQ(L"Send browser's statistics: 1", CapturedLog()[4].message);
  EXPECT_EQ(TriState::Unset, record.send_statistics) << "defaults never touch the settings";
}

TEST(BrandDefaultsTest, PpapiSelectsTheAddressWithoutFlash) {
  BrandRecord record;
  record.brand_id = "tb";
  record.need_ppapi_flash = TriState::True;
  FillBrandDefaults("", record);
  EXPECT_EQ("http://" + Narrow(DownloadHost()) + "/browser/tb/browser-setup.arc", record.setup_url);
  EXPECT_EQ("tr", record.interface_language);
}

TEST(BrandDefaultsTest, UserLanguageComesBeforeTheBrandLanguage) {
  BrandRecord record;
  record.brand_id = "int";
  FillBrandDefaults("pt-BR", record);
  EXPECT_EQ("pt-BR", record.interface_language);
  EXPECT_EQ(1046u, record.language_id);

  BrandRecord unknown_locale;
  unknown_locale.brand_id = "int";
  FillBrandDefaults("", unknown_locale);
  EXPECT_EQ("en", unknown_locale.interface_language);
  EXPECT_EQ(1033u, unknown_locale.language_id);
}

TEST(BrandDefaultsTest, DocumentValuesAreKeptAndLanguageIdAlwaysRecomputed) {
  BrandRecord record;
  ReadBrandDocument(R"({"brand_id": "int", "setup_url": "http://s/", "license_url": "http://l/",
                        "languages": {"interface": "RU"}})",
                    record);
  record.language_id = 1049;
  FillBrandDefaults("de", record);
  EXPECT_EQ("http://s/", record.setup_url);
  EXPECT_EQ("int", record.brand_name);
  EXPECT_EQ("RU", record.interface_language);
  EXPECT_EQ(1033u, record.language_id) << "codes match case-sensitively";
  EXPECT_EQ(L"http://l/?lang=RU", record.LicenseLinkUrl());
}

TEST(BrandRecordTest, AccessorsInterpretUnset) {
  BrandRecord record;
  EXPECT_FALSE(record.ShowInternationalTitle());
  EXPECT_TRUE(record.SendStatistics());
  EXPECT_TRUE(record.MakeBrowserDefault());
  EXPECT_TRUE(record.AutodetectLanguage());
  EXPECT_FALSE(record.IsPpapi());
  record.make_browser_default = TriState::False;
  record.alternate_installer_title = TriState::True;
  EXPECT_FALSE(record.MakeBrowserDefault());
  EXPECT_TRUE(record.ShowInternationalTitle());
}

TEST(BrandRecordTest, ResetKeepsWorkDirAndLoadedFlags) {
  BrandRecord record;
  record.work_dir = L"C:\\t\\";
  record.brand_package_loaded = true;
  record.brand_id = "x";
  record.language_id = 1049;
  record.send_statistics = TriState::False;
  record.brand_package_path = L"p";
  ClearCapturedLog();
  record.ResetFields();
  EXPECT_EQ(L"C:\\t\\", record.work_dir);
  EXPECT_TRUE(record.brand_package_loaded);
  EXPECT_EQ("", record.brand_id);
  EXPECT_EQ(L"", record.brand_package_path);
  EXPECT_EQ(1033u, record.language_id);
  EXPECT_EQ(TriState::Unset, record.send_statistics);
  ASSERT_EQ(1u, CapturedLog().size());
  EXPECT_EQ(log_tag::kBrandPackageInfoClear, CapturedLog()[0].function);
  EXPECT_EQ(L"Reset brand info.", CapturedLog()[0].message);
}

TEST(BrandRecordTest, LinksEncodeTheLanguageAndWhatNoUrlMayHold) {
  BrandRecord record;
  record.conf_policy_url = "http://h/c\xc3\xa9/a b\"";
  record.license_url = "http://l/x?y=1";
  record.interface_language = "t r#x&";
  EXPECT_EQ(L"http://h/c%C3%A9/a%20b%22?lang=t%20r%23x%26", record.PrivacyLinkUrl());
  EXPECT_EQ(L"http://l/x?y=1?lang=t%20r%23x%26", record.LicenseLinkUrl());
}

}  // namespace
}  // namespace lite_installer
