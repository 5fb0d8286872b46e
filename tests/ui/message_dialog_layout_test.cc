#include "ui/message_dialog_layout.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

TEST(MessageDialogLayoutTest, ButtonsAtTheBottomLeftAndTextsAboveThem) {
  LayoutRect ok;
  LayoutRect cancel;
  MessageButtonRects(400, 176, 120, 28, 120, 28, &ok, &cancel);
  EXPECT_EQ(40, ok.left);
  EXPECT_EQ(128, ok.top);
  EXPECT_EQ(160, ok.right);
  EXPECT_EQ(156, ok.bottom);
  EXPECT_EQ(170, cancel.left);
  EXPECT_EQ(128, cancel.top);
  EXPECT_EQ(290, cancel.right);
  EXPECT_EQ(156, cancel.bottom);

  LayoutRect title;
  LayoutRect text;
  MessageTextRects(400, 176, ok, &title, &text);
  EXPECT_EQ(40, title.left);
  EXPECT_EQ(30, title.top);
  EXPECT_EQ(370, title.right);
  EXPECT_EQ(78, title.bottom);
  EXPECT_EQ(40, text.left);
  EXPECT_EQ(78, text.top);
  EXPECT_EQ(370, text.right);
  EXPECT_EQ(128, text.bottom);
}

}  // namespace
}  // namespace lite_installer
