// The distribution parameters from a tag in a real file: a tampered tag is
// no tag, and a "distrib_info" that cannot be written is never handed on,
// so the setup cannot read an earlier run's file as this run's.
#include <windows.h>

#include <gtest/gtest.h>

#include "install/distrib_info_params.h"
#include "base/environment.h"
#include "base/run_folder.h"
#include "base/unique_handle.h"

namespace {

// A file with just enough of a PE32 image for the tag reader: the
// certificate table at 0x100 holds a 20-byte signature stub and the tag.
std::string TaggedImage(const std::string& tag) {
  std::string image(0x200, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = 0x40;
  image.replace(0x40, 4, std::string("PE\0\0", 4));
  image[0x40 + 152] = 0x00;
  image[0x40 + 153] = 0x01;
  image[0x108] = '\x30';
  image[0x109] = '\x82';
  image[0x10B] = 20;
  const size_t at = 0x100 + (20 + 19) / 8 * 8;
  image.replace(at, 4, "Kvct");
  image[at + 4] = static_cast<char>(tag.size() >> 8);
  image[at + 5] = static_cast<char>(tag.size() & 0xFF);
  image.replace(at + 6, tag.size(), tag);
  return image;
}

class TaggedFileParams : public DistribInfoParams {
 public:
  explicit TaggedFileParams(std::wstring path) : path_(std::move(path)) {}
  std::wstring GetModulePath() override { return path_; }
  void StoreParams(const std::string& text) override { stored.push_back(text); }
  std::vector<std::string> stored;

 private:
  std::wstring path_;
};

class DistribInfoTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(lite_installer::CreateRunFolder(GetTemporaryPath()).empty()); }
  void TearDown() override {
    DeleteFileW(JsonPath().c_str());
    EXPECT_TRUE(lite_installer::RemoveRunFolder());
    DeleteFileW(ImagePath().c_str());
  }
  static std::wstring JsonPath() { return lite_installer::RunFolderPath() + L"distrib_info"; }
  static std::wstring ImagePath() { return GetTemporaryPath() + L"distrib_info_wintest.exe"; }
};

TEST_F(DistribInfoTest, TagWithBytesOutsidePrintableAsciiIsNoTag) {
  for (const std::string& tag : {std::string("lang=tr\r\n2016-05-12 07:41:03 <1> ERROR: x&banerid=7"),
                                 std::string("lang=tr\0zz&banerid=7", 20), std::string("lang=\xc3\xa9")}) {
    ASSERT_TRUE(SaveBytesToFile(ImagePath(), TaggedImage(tag)));
    TaggedFileParams params(ImagePath());
    EXPECT_FALSE(params.Load());
    EXPECT_TRUE(params.params.empty());
    EXPECT_TRUE(params.stored.empty()) << "nothing reaches the registry";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(JsonPath().c_str()));
  }
}

TEST_F(DistribInfoTest, FileThatCannotBeWrittenIsNotHandedOn) {
  ASSERT_TRUE(SaveBytesToFile(ImagePath(), TaggedImage("banerid=7/../x?y=1#&lang=#x&zz=1")));
  TaggedFileParams written(ImagePath());
  ASSERT_TRUE(written.Load() && written.WriteJsonFile());
  EXPECT_EQ(JsonPath(), written.json_path);
  EXPECT_EQ("{\n  \"banerid\": \"7/../x?y=1#\",\n  \"lang\": \"#x\",\n  \"zz\": \"1\"\n}", LoadFileBytes(JsonPath()));

  // Another handle holds the earlier run's file without sharing: it can be
  // neither replaced nor removed.
  lite_installer::ReleaseHeldFiles();
  ASSERT_TRUE(SaveBytesToFile(JsonPath(), "{\"lang\": \"from an earlier run\"}"));
  {
    lite_installer::ScopedFile holder(
        CreateFileW(JsonPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.IsValid());
    TaggedFileParams held(ImagePath());
    EXPECT_FALSE(held.Load() && held.WriteJsonFile());
    EXPECT_EQ(L"", held.json_path);
    EXPECT_EQ(3u, held.params.size()) << "the parameters themselves are kept";
  }
  EXPECT_EQ("{\"lang\": \"from an earlier run\"}", LoadFileBytes(JsonPath()));
  EXPECT_FALSE(lite_installer::AllHandedFilesHeld()) << "the run ends before its download";
}

}  // namespace
