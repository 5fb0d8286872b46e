#include "base/text.h"
#include "base/sized_call.h"

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

TEST(TextTest, GuidTextIsThe36CharacterFormOnly) {
  EXPECT_TRUE(IsGuidText("0f1E2d3C-4b5A-6978-8a9b-AbCdEf012345"));
  for (const char* text : {"", "{0f1e2d3c-4b5a-6978-8a9b-abcdef012345}", "0f1e2d3c-4b5a-6978-8a9b-abcdef01234",
                           "0f1e2d3c-4b5a-6978-8a9b-abcdef0123456", "0f1e2d3c04b5a-6978-8a9b-abcdef012345",
                           "0g1e2d3c-4b5a-6978-8a9b-abcdef012345", "0f1e2d3c-4b5a-6978-8a9b-abcdef01234\n"}) {
    EXPECT_FALSE(IsGuidText(text)) << text;
  }
}

TEST(TextTest, SizedCallsGrowTheBufferToWhatTheSystemReports) {
  for (size_t length : {size_t{3}, size_t{259}, size_t{260}, size_t{5000}, size_t{32767}, size_t{32768}}) {
    const std::wstring text(length, L'p');
    // GetTempPathW answers the capacity it needs; GetModuleFileNameW the
    // capacity it was given, having written as much as fits.
    for (bool reports_need : {true, false}) {
      const std::wstring got = TextFromSizedCall([&](wchar_t* buffer, uint32_t capacity) -> uint32_t {
        if (text.size() < capacity) return static_cast<uint32_t>(text.copy(buffer, text.size()));
        return reports_need ? static_cast<uint32_t>(text.size() + 1) : capacity;
      });
      EXPECT_EQ(length < kLongestSystemTextChars ? text : L"", got) << length << reports_need;
    }
  }
  EXPECT_EQ(L"", TextFromSizedCall([](wchar_t*, uint32_t) -> uint32_t { return 0; }));
}

TEST(TextTest, NarrowAndWidenWorkBytewise) {
  EXPECT_EQ(std::string("\xe9", 1), Narrow(L"\u00e9"));
  EXPECT_EQ(L"\u00e9", Widen("\xe9"));
  EXPECT_EQ("abc-z", ToLowerAscii(std::string("ABC-Z")));
}

TEST(TextTest, UrlHostIsReplacedOnlyWhenItIsExactlyTheOldHost) {
  const std::wstring kOld = L"dl.example";
  const std::wstring kNew = L"127.0.0.1:8080";
  const struct {
    const wchar_t* url;
    const wchar_t* expected;
  } kRows[] = {
      {L"http://dl.example/browser/int/setup.arc", L"http://127.0.0.1:8080/browser/int/setup.arc"},
      {L"https://DL.Example:8443/a/b?x=1#f", L"https://127.0.0.1:8080/a/b?x=1#f"},
      {L"http://dl.example?q=1", L"http://127.0.0.1:8080?q=1"},
      {L"http://other.example/dl.example/", nullptr},
      {L"http://dl.example.evil/", nullptr},
      {L"http://evil-dl.example/", nullptr},
      {L"http://xdl.example/", nullptr},
      {L"http://dl.example@evil/", nullptr},
      {L"http://evil@dl.example/", nullptr},
      {L"http://dl.example:80@evil/", nullptr},
      {L"dl.example/setup.arc", nullptr},
      {L"", nullptr},
  };
  for (const auto& row : kRows) {
    EXPECT_EQ(row.expected != nullptr ? row.expected : row.url, ReplaceUrlHost(row.url, kOld, kNew)) << row.url;
  }
  // A port on the old host must match as well.
  EXPECT_EQ(L"http://n/x", ReplaceUrlHost(L"http://dl.example:81/x", L"dl.example:81", L"n"));
  EXPECT_EQ(L"http://dl.example:82/x", ReplaceUrlHost(L"http://dl.example:82/x", L"dl.example:81", L"n"));
}

}  // namespace
}  // namespace lite_installer
