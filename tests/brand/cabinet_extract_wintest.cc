// Extraction through the system cabinet decoder, with cabinets made by gcab
// (tests/brand/make_cabinets.py) and damaged copies of them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "brand/cabinet_extract.h"
#include "base/environment.h"

namespace lite_installer {
namespace {

std::string Fixture(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"..\\tests\\brand\\cabinets\\" + name;
  const std::string bytes = LoadFileBytes(path);
  EXPECT_FALSE(bytes.empty()) << "missing fixture";
  return bytes;
}

const char kDocument[] = "{\"brand_id\": \"fixture\", \"languages\": {\"interface\": \"de\"}}";

TEST(CabinetExtractTest, SingleFileMszipCabinet) {
  CabinetFiles files;
  EXPECT_TRUE(ExtractCabinetFile(Fixture(L"single.cab"), "brand_config", &files));
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(kDocument, files["brand_config"]);
}

TEST(CabinetExtractTest, WantedFileAmongSeveralAndAllFiles) {
  const std::string several = Fixture(L"several.cab");
  CabinetFiles files;
  EXPECT_TRUE(ExtractCabinetFile(several, "brand_config", &files));
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(kDocument, files["brand_config"]);

  EXPECT_TRUE(ExtractCabinetFile(several, "", &files));
  ASSERT_EQ(3u, files.size());
  EXPECT_EQ(224000u, files["big.bin"].size());
  EXPECT_EQ(0u, files["big.bin"].find("line 000000 of the big file\nline 000001"));
  EXPECT_NE(std::string::npos, files["big.bin"].find("line 007999 of the big file\n"));
  EXPECT_EQ(550u, files["a.txt"].size());

  EXPECT_TRUE(ExtractCabinetFile(several, "BRAND_CONFIG", &files)) << "names match exactly";
  EXPECT_TRUE(files.empty());
}

TEST(CabinetExtractTest, LaterFileOfTheSameNameReplacesTheEarlier) {
  CabinetFiles files;
  EXPECT_TRUE(ExtractCabinetFile(Fixture(L"duplicate.cab"), "brand_config", &files));
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ("{\"brand_id\": \"later\"}", files["brand_config"]);
}

TEST(CabinetExtractTest, BytesThatAreNoCabinetGiveNothing) {
  CabinetFiles files;
  files["stale"] = "x";
  EXPECT_FALSE(ExtractCabinetFile(Fixture(L"not_a_cab.bin"), "brand_config", &files));
  EXPECT_TRUE(files.empty()) << "the map is emptied first";
  EXPECT_FALSE(ExtractCabinetFile(std::string(), "brand_config", &files));
  EXPECT_FALSE(ExtractCabinetFile(std::string("MSCF", 4), "brand_config", &files));
  EXPECT_TRUE(files.empty());
}

TEST(CabinetExtractTest, DamagedCabinetNeverYieldsAShortFile) {
  for (const wchar_t* name : {L"truncated.cab", L"corrupt.cab"}) {
    CabinetFiles files;
    EXPECT_FALSE(ExtractCabinetFile(Fixture(name), "", &files)) << name;
    EXPECT_EQ(0u, files.count("big.bin")) << name;
    for (const auto& [member, content] : files) {
      if (member == "a.txt") EXPECT_EQ(550u, content.size());
    }
  }
}

TEST(CabinetExtractTest, CabinetSpanningSeveralFilesAborts) {
  for (const wchar_t* name : {L"continued.cab", L"continued_from_previous.cab"}) {
    CabinetFiles files;
    EXPECT_FALSE(ExtractCabinetFile(Fixture(name), "brand_config", &files)) << name;
    EXPECT_TRUE(files.empty()) << name;
  }
}

TEST(CabinetExtractTest, RepeatedExtractionsKeepWorking) {
  const std::string single = Fixture(L"single.cab");
  for (int i = 0; i < 50; ++i) {
    CabinetFiles files;
    ASSERT_TRUE(ExtractCabinetFile(single, "brand_config", &files));
    ASSERT_EQ(kDocument, files["brand_config"]);
  }
}

}  // namespace
}  // namespace lite_installer
