#include "base/text.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

TEST(TextTest, TrimsTheCommandLineBlanksOnly) {
  EXPECT_EQ(L"a b", TrimWhitespace(L"\t\r\n \u00a0\u2000\u3000a b\u202f\u205f\u0085\u180e"));
  EXPECT_EQ(L"\u200bx\u200b", TrimWhitespace(L"\u200bx\u200b")) << "U+200B is not a blank here";
  EXPECT_EQ(L"", TrimWhitespace(L" \t "));
}

TEST(TextTest, NumbersRenderWithoutLeadingZeros) {
  EXPECT_EQ(L"0", ToDecimal(int64_t{0}));
  EXPECT_EQ(L"-9223372036854775808", ToDecimal(INT64_MIN));
  EXPECT_EQ(L"18446744073709551615", ToDecimal(UINT64_MAX));
  EXPECT_EQ(L"0", ToHexLower(0));
  EXPECT_EQ(L"80090006", ToHexLower(0x80090006u));
}

TEST(TextTest, Utf8RoundTripsAndReplacesInvalidInput) {
  const std::string utf8 = "T\xc3\xbcrk\xc3\xa7" "e \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80";
  EXPECT_EQ(utf8, WideToUtf8(Utf8ToWide(utf8)));
  EXPECT_EQ(L"a\ufffd" L"b", Utf8ToWide("a\xff" "b"));
  EXPECT_EQ(L"\ufffd\ufffd", Utf8ToWide("\xc0\xaf")) << "overlong forms are rejected";
  EXPECT_EQ(L"x\ufffd\ufffd", Utf8ToWide("x\xe6\x97")) << "each byte of a truncated sequence";
}

TEST(TextTest, NarrowAndWidenWorkBytewise) {
  EXPECT_EQ(std::string("\xe9", 1), Narrow(L"\u00e9"));
  EXPECT_EQ(L"\u00e9", Widen("\xe9"));
  EXPECT_EQ("abc-z", ToLowerAscii(std::string("ABC-Z")));
}

}  // namespace
}  // namespace lite_installer
