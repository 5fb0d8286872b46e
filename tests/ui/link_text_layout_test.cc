#include "ui/link_text_layout.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

// Every character is `per_char` pixels wide; records every measured text.
class FixedWidthMeasurer : public TextMeasurer {
 public:
  explicit FixedWidthMeasurer(int per_char) : per_char_(per_char) {}
  int Width(const std::wstring& text) override {
    return static_cast<int>(text.size()) * per_char_;
  }

 private:
  int per_char_;
};

TEST(LinkTextTokenize, PlainWordsKeepTrailingSpacesAndLinksStayWhole) {
  const auto tokens = TokenizeLinkText(L"you agree  to the ((License Agreement)).");
  ASSERT_EQ(tokens.size(), 6u);
  EXPECT_EQ(tokens[0].text, L"you ");
  EXPECT_EQ(tokens[1].text, L"agree  ");
  EXPECT_EQ(tokens[2].text, L"to ");
  EXPECT_EQ(tokens[3].text, L"the ");
  EXPECT_FALSE(tokens[3].is_link);
  EXPECT_EQ(tokens[4].text, L"License Agreement");
  EXPECT_TRUE(tokens[4].is_link);
  EXPECT_EQ(tokens[5].text, L".");
  EXPECT_FALSE(tokens[5].is_link);
}

TEST(LinkTextTokenize, LeadingMarkerGivesEmptyPlainTokenAndUnclosedLinkRunsToEnd) {
  auto tokens = TokenizeLinkText(L"((Terms)) apply");
  ASSERT_EQ(tokens.size(), 4u);
  EXPECT_EQ(tokens[0].text, L"");
  EXPECT_FALSE(tokens[0].is_link);
  EXPECT_EQ(tokens[1].text, L"Terms");
  EXPECT_TRUE(tokens[1].is_link);
  // The space after the link ends a plain word of its own.
  EXPECT_EQ(tokens[2].text, L" ");
  EXPECT_EQ(tokens[3].text, L"apply");

  tokens = TokenizeLinkText(L"see ((open link");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].text, L"open link");
  EXPECT_TRUE(tokens[1].is_link);

  EXPECT_TRUE(TokenizeLinkText(L"").empty());
}

TEST(LinkTextLayout, LeadingLinkStartsWithEmptyPlainPiece) {
  FixedWidthMeasurer measurer(7);
  const auto pieces = LayoutLinkText(TokenizeLinkText(L"((License)) text"), measurer, 360);
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].text, L"");
  EXPECT_FALSE(pieces[0].is_link);
  EXPECT_EQ(pieces[0].width, 0);
  EXPECT_EQ(pieces[1].text, L"License");
  EXPECT_TRUE(pieces[1].is_link);
  EXPECT_EQ(pieces[1].x, 0);
  EXPECT_EQ(pieces[1].line, 0);
  EXPECT_EQ(pieces[2].text, L" text");
  EXPECT_EQ(pieces[2].x, 49);
}

TEST(LinkTextLayout, PlainTextWrapsAtWordBoundaries) {
  // 10 px per character, 100 px lines: "aaaa bbbb " is exactly 100.
  FixedWidthMeasurer measurer(10);
  const auto pieces =
      LayoutLinkText(TokenizeLinkText(L"aaaa bbbb cccc dddd eeeeeeeeeeeeee"), measurer, 100);
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].text, L"aaaa bbbb ");
  EXPECT_EQ(pieces[0].line, 0);
  EXPECT_EQ(pieces[0].width, 100);
  EXPECT_EQ(pieces[1].text, L"cccc dddd ");
  EXPECT_EQ(pieces[1].line, 1);
  EXPECT_EQ(pieces[1].x, 0);
  // A word longer than a line gets a line of its own and is not cut.
  EXPECT_EQ(pieces[2].text, L"eeeeeeeeeeeeee");
  EXPECT_EQ(pieces[2].line, 2);
  EXPECT_EQ(pieces[2].width, 140);
  for (const auto& piece : pieces) EXPECT_FALSE(piece.is_link);
}

TEST(LinkTextLayout, LinkThatDoesNotFitStartsNewLineWhole) {
  FixedWidthMeasurer measurer(10);
  const auto pieces = LayoutLinkText(
      TokenizeLinkText(L"read the ((very long licence agreement text here)) now"), measurer, 100);
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].text, L"read the ");
  EXPECT_EQ(pieces[0].line, 0);
  EXPECT_EQ(pieces[1].text, L"very long licence agreement text here");
  EXPECT_TRUE(pieces[1].is_link);
  EXPECT_EQ(pieces[1].line, 1);
  EXPECT_EQ(pieces[1].x, 0);
  EXPECT_EQ(pieces[1].width, 370);
  // The line is already past the limit, so the next kind change wraps again.
  EXPECT_EQ(pieces[2].text, L" now");
  EXPECT_EQ(pieces[2].line, 2);
  EXPECT_EQ(pieces[2].x, 0);
}

TEST(LinkTextLayout, WelcomeSentenceAt360Pixels) {
  // 6 px per character roughly matches a 14-pixel font.
  FixedWidthMeasurer measurer(6);
  const auto pieces = LayoutLinkText(
      TokenizeLinkText(L"By using Korvex browser, you agree to the terms and conditions of the "
                       L"((License Agreement))."),
      measurer, 360);
  ASSERT_EQ(pieces.size(), 4u);
  // 60 characters fit on a line of 360 pixels.
  EXPECT_EQ(pieces[0].text, L"By using Korvex browser, you agree to the terms and ");
  EXPECT_EQ(pieces[0].line, 0);
  EXPECT_EQ(pieces[1].text, L"conditions of the ");
  EXPECT_EQ(pieces[1].line, 1);
  EXPECT_EQ(pieces[2].text, L"License Agreement");
  EXPECT_TRUE(pieces[2].is_link);
  EXPECT_EQ(pieces[2].line, 1);
  EXPECT_EQ(pieces[2].x, 18 * 6);
  EXPECT_EQ(pieces[3].text, L".");
  EXPECT_EQ(pieces[3].x, 18 * 6 + 17 * 6);
  for (const auto& piece : pieces) EXPECT_LE(piece.x + piece.width, 360);
}

}  // namespace
}  // namespace lite_installer
