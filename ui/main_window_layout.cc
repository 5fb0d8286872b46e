#include "ui/main_window_layout.h"

namespace lite_installer {

namespace {

constexpr int kFlashShift = 20;  // pixels the Flash row adds

LayoutRect Rect(int left, int top, int right, int bottom) {
  LayoutRect rect;
  rect.left = left;
  rect.top = top;
  rect.right = right;
  rect.bottom = bottom;
  return rect;
}

}  // namespace

LayoutRect StatisticsReferenceRect(bool with_flash) {
  const int top = with_flash ? 140 : 120;
  return Rect(180, top, 600, top + kFlashShift);
}

WelcomeLayout ComputeWelcomeLayout(bool with_flash, int statistics_height, int install_width,
                                   int install_height, int cancel_width, int cancel_height) {
  const int shift = with_flash ? kFlashShift : 0;
  WelcomeLayout layout;
  layout.title = Rect(180, 23, 557, 46);
  layout.make_default = Rect(180, 99, 482, 119);
  layout.flash = with_flash ? Rect(180, 120, 482, 140) : Rect(0, 0, 0, 0);
  const LayoutRect reference = StatisticsReferenceRect(with_flash);
  layout.statistics = Rect(reference.left, reference.top, reference.right, reference.top + statistics_height);
  layout.privacy = Rect(203, layout.statistics.bottom, 600, 181 + shift);
  layout.install = Rect(180, 185 + shift, 180 + install_width, 185 + shift + install_height);
  layout.cancel = Rect(386, 185 + shift, 386 + cancel_width, 185 + shift + cancel_height);
  return layout;
}

LayoutRect ProgressBarRect(int background_height, int bar_width, int bar_height) {
  const int left = (kProgressScreenWidth - bar_width) / 2;
  const int top = background_height - bar_height - 66;
  return Rect(left, top, left + bar_width, top + bar_height);
}

LayoutRect TimeLeftRect(int background_height) {
  const int top = background_height - 63;
  return Rect(6, top, 6 + 166, top + 12);
}

int ShrunkWindowLeft(int old_left, int old_width) {
  return old_left + (old_width - kProgressScreenWidth) / 2;
}

}  // namespace lite_installer
