#include "trust/base64.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

std::string Strict(const std::string& text, bool* ok) {
  std::string bytes = "stale";
  *ok = StrictBase64Decode(text, &bytes);
  return bytes;
}

TEST(StrictBase64DecodeTest, DecodesPaddedAndUnpaddedGroups) {
  bool ok = false;
  EXPECT_EQ(Strict("TWFu", &ok), "Man");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Strict("TWE=", &ok), "Ma");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Strict("TQ==", &ok), "M");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Strict("+/+/", &ok), std::string("\xfb\xff\xbf", 3));
  EXPECT_TRUE(ok);
  EXPECT_EQ(Strict("AAECAwQF", &ok), std::string("\x00\x01\x02\x03\x04\x05", 6));
  EXPECT_TRUE(ok);
}

TEST(StrictBase64DecodeTest, EmptyTextIsEmptyAndSucceeds) {
  bool ok = false;
  EXPECT_EQ(Strict("", &ok), "");
  EXPECT_TRUE(ok);
}

TEST(StrictBase64DecodeTest, RejectsMalformedTextAndLeavesNoBytes) {
  for (const char* text : {"TWF", "TWFuT", "TWFuTW", "TW=u", "=WFu", "T===", "====", "TWFu====",
                           "TW==TWFu", "TWF\n", "TW u", "TWF-", "TWF_", "TWFu\n"}) {
    bool ok = true;
    EXPECT_EQ(Strict(text, &ok), "") << text;
    EXPECT_FALSE(ok) << text;
  }
}

TEST(LenientBase64DecodeTest, SkipsEverythingOutsideTheAlphabet) {
  const std::string plain = LenientBase64Decode("AAECAwQFBgc=");
  EXPECT_EQ(plain, std::string("\x00\x01\x02\x03\x04\x05\x06\x07", 8));
  EXPECT_EQ(LenientBase64Decode("AAEC\r\nAwQF\n Bgc"), plain);
  EXPECT_EQ(LenientBase64Decode(" A=A=E=C=AwQFBg c== \t"), plain);
}

TEST(LenientBase64DecodeTest, ShortFinalGroups) {
  EXPECT_EQ(LenientBase64Decode("TWFu"), "Man");
  EXPECT_EQ(LenientBase64Decode("TWF"), "Ma");
  EXPECT_EQ(LenientBase64Decode("TW"), "M");
  EXPECT_EQ(LenientBase64Decode("TWFuT"), "Man");  // a single left-over gives nothing
  EXPECT_EQ(LenientBase64Decode("T"), "");
  EXPECT_EQ(LenientBase64Decode("=== \n"), "");
}

}  // namespace
}  // namespace lite_installer
