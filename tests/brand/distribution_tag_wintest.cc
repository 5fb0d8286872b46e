// Reading the distribution tag through the file mapping.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "brand/distribution_tag.h"
#include "base/environment.h"

namespace lite_installer {
namespace {

// A minimal signed-looking PE image whose tag block announces `announced`
// text bytes and holds `text`; the file ends right after the text.
std::string TaggedImage(const std::string& text, uint16_t announced) {
  std::string image(0x200, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = static_cast<char>(0x80);
  image.replace(0x80, 4, std::string("PE\0\0", 4));
  image[0x80 + kCertificateTableFieldOffset + 1] = 0x02;  // entry at 0x200
  std::string entry(12 + 100, 'S');
  entry.replace(0, 8, std::string("\0\0\0\0\0\x02\x02\0", 8));
  entry[8] = '\x30';
  entry[9] = '\x82';
  entry[10] = 0;
  entry[11] = 100;
  entry.resize(TagBlockOffset(100), '\0');
  entry += "Kvct";
  entry += static_cast<char>(announced >> 8);
  entry += static_cast<char>(announced & 0xFF);
  entry += text;
  return image + entry;
}

class DistributionTagFileTest : public ::testing::Test {
 protected:
  void TearDown() override { DeleteFileW(path_.c_str()); }
  std::wstring Write(const std::string& bytes) {
    EXPECT_TRUE(SaveBytesToFile(path_, bytes));
    return path_;
  }
  std::wstring path_ = GetTemporaryPath() + L"distribution_tag_wintest.exe";
};

TEST_F(DistributionTagFileTest, TagEndingAtTheEndOfTheFileIsRead) {
  EXPECT_EQ("lang=tr&banerid=7", ReadDistributionTag(Write(TaggedImage("lang=tr&banerid=7", 17))));
}

TEST_F(DistributionTagFileTest, LengthRunningPastTheEndOfTheFileIsNoTag) {
  // The mapped view is a whole page; the bytes after the file's end read as
  // zeros but are not part of the file.
  EXPECT_EQ("", ReadDistributionTag(Write(TaggedImage("lang=tr", 40))));
  EXPECT_EQ("", ReadDistributionTag(Write(TaggedImage("lang=tr", 0xFFFF))));
}

TEST_F(DistributionTagFileTest, MissingEmptyAndLockedFilesGiveNothing) {
  EXPECT_EQ("", ReadDistributionTag(L""));
  EXPECT_EQ("", ReadDistributionTag(GetTemporaryPath() + L"no_such_file_for_tag.exe"));
  EXPECT_EQ("", ReadDistributionTag(Write(std::string())));
  Write(TaggedImage("a=1", 3));
  HANDLE exclusive = CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, exclusive);
  EXPECT_EQ("", ReadDistributionTag(path_)) << "no sharing: cannot be opened";
  CloseHandle(exclusive);
  EXPECT_EQ("a=1", ReadDistributionTag(path_));
}

}  // namespace
}  // namespace lite_installer
