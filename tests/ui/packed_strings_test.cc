#include "ui/packed_strings.h"
#include "ui/packed_image.h"

#include <gtest/gtest.h>

#include <string>

namespace lite_installer {
namespace {

// Language 1033 from id 400: "Install", "" (absent), "OK"; then 1049 from id
// 401: "\xd0\x9e\xd0\x9a" (ОК in UTF-8).
const std::string kTables("\x09\x04\x90\x01\x03\x00Install\0\0OK\0"
                          "\x19\x04\x91\x01\x01\x00\xd0\x9e\xd0\x9a\0",
                          29);

TEST(PackedStringsTest, FindsTextsOfExactlyTheLanguageAndId) {
  EXPECT_EQ(FindPackedString(kTables, 1033, 400), "Install");
  EXPECT_EQ(FindPackedString(kTables, 1033, 401), "");
  EXPECT_EQ(FindPackedString(kTables, 1033, 402), "OK");
  EXPECT_EQ(FindPackedString(kTables, 1049, 401), "\xd0\x9e\xd0\x9a");
  // Ids around a language's range, and languages it lacks: no fallback.
  for (int id : {-1, 399, 403}) EXPECT_EQ(FindPackedString(kTables, 1033, id), "") << id;
  EXPECT_EQ(FindPackedString(kTables, 1049, 400), "");
  EXPECT_EQ(FindPackedString(kTables, 1031, 400), "");
}

TEST(PackedStringsTest, MalformedTablesGiveNothingAndAreNotOverread) {
  // Cut at every length: a text without its zero or a header cut short is
  // never returned (ASan catches a read past the end).
  for (size_t length = 0; length < kTables.size(); ++length) {
    const std::string cut = kTables.substr(0, length);
    EXPECT_EQ(FindPackedString(cut, 1049, 401), "") << length;
    // "Install" ends with its zero at byte 14.
    if (length < 14) EXPECT_EQ(FindPackedString(cut, 1033, 400), "") << length;
  }
  // A count larger than the texts that follow.
  std::string overcount = kTables.substr(0, 20);
  overcount[4] = '\x7f';
  EXPECT_EQ(FindPackedString(overcount, 1033, 450), "");
}

// The packed images' header: width and height, then exactly their pixels.
TEST(PackedImageTest, HeaderGivesTheSizeOnlyWhenThePixelsFitExactly) {
  const unsigned char header[] = {0xb2, 0x02, 0, 0, 0x28, 0x01, 0, 0};  // 690 x 296
  const size_t whole = kPackedImageHeaderBytes + 690 * 296 * 4;
  PackedImageSize size;
  ASSERT_TRUE(ReadPackedImageHeader(header, whole, &size));
  EXPECT_EQ(size.width, 690);
  EXPECT_EQ(size.height, 296);
  for (size_t length : {size_t{0}, size_t{7}, whole - 1, whole + 1, whole + 4}) {
    EXPECT_FALSE(ReadPackedImageHeader(header, length, &size)) << length;
  }
  const struct {
    unsigned char bytes[8];
    size_t length;
  } refused[] = {
      {{0, 0, 0, 0, 1, 0, 0, 0}, 8},                             // no width
      {{1, 0, 0, 0, 0, 0, 0, 0}, 8},                             // no height
      {{0x01, 0x10, 0, 0, 1, 0, 0, 0}, 8 + 4097 * 4},            // wider than 4096
      {{1, 0, 0, 0, 0xff, 0xff, 0xff, 0xff}, 8},                 // a height that would overflow
      {{0x00, 0x10, 0, 0, 0x00, 0x10, 0, 0}, 8 + 4096 * 4095 * 4},  // 4096 x 4096, one row short
  };
  for (const auto& row : refused) EXPECT_FALSE(ReadPackedImageHeader(row.bytes, row.length, &size));
}

}  // namespace
}  // namespace lite_installer
