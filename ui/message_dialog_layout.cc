#include "ui/message_dialog_layout.h"

namespace lite_installer {

namespace {

constexpr int kLeftMargin = 40;
constexpr int kRightMargin = 30;
constexpr int kTitleTop = 30;
constexpr int kBottomMargin = 20;
constexpr int kButtonGap = 10;
constexpr int kTextHeight = 50;

}  // namespace

void MessageButtonRects(int client_width, int client_height, int ok_width, int ok_height,
                        int cancel_width, int cancel_height, LayoutRect* ok, LayoutRect* cancel) {
  (void)client_width;
  const int top = client_height - kBottomMargin - ok_height;
  *ok = LayoutRect{kLeftMargin, top, kLeftMargin + ok_width, top + ok_height};
  const int cancel_left = kLeftMargin + ok_width + kButtonGap;
  *cancel = LayoutRect{cancel_left, top, cancel_left + cancel_width, top + cancel_height};
}

void MessageTextRects(int client_width, int client_height, const LayoutRect& ok, LayoutRect* title,
                      LayoutRect* text) {
  const int bottom = ok.top + (client_height - ok.bottom) - kBottomMargin;
  const int right = client_width - kRightMargin;
  *text = LayoutRect{kLeftMargin, bottom - kTextHeight, right, bottom};
  *title = LayoutRect{kLeftMargin, kTitleTop, right, bottom - kTextHeight};
}

}  // namespace lite_installer
