#include "ui/main_window_layout.h"

namespace lite_installer {

namespace {

constexpr int kFlashShift = 20;  // pixels the Flash row adds

}  // namespace

LayoutRect StatisticsReferenceRect(bool with_flash) {
  const int top = with_flash ? 140 : 120;
  return LayoutRect{180, top, 600, top + kFlashShift};
}

WelcomeLayout ComputeWelcomeLayout(bool with_flash, int statistics_height, int install_width,
                                   int install_height, int cancel_width, int cancel_height) {
  const int shift = with_flash ? kFlashShift : 0;
  WelcomeLayout layout;
  layout.title = LayoutRect{180, 23, 557, 46};
  layout.make_default = LayoutRect{180, 99, 482, 119};
  layout.flash = with_flash ? LayoutRect{180, 120, 482, 140} : LayoutRect{0, 0, 0, 0};
  const LayoutRect reference = StatisticsReferenceRect(with_flash);
  layout.statistics = LayoutRect{reference.left, reference.top, reference.right, reference.top + statistics_height};
  layout.privacy = LayoutRect{203, layout.statistics.bottom, 600, 181 + shift};
  layout.install = LayoutRect{180, 185 + shift, 180 + install_width, 185 + shift + install_height};
  layout.cancel = LayoutRect{386, 185 + shift, 386 + cancel_width, 185 + shift + cancel_height};
  return layout;
}

LayoutRect ProgressBarRect(int background_height, int bar_width, int bar_height) {
  const int left = (kProgressScreenWidth - bar_width) / 2;
  const int top = background_height - bar_height - 66;
  return LayoutRect{left, top, left + bar_width, top + bar_height};
}

LayoutRect TimeLeftRect(int background_height) {
  const int top = background_height - 63;
  return LayoutRect{6, top, 6 + 166, top + 12};
}

int ShrunkWindowLeft(int old_left, int old_width) {
  return old_left + (old_width - kProgressScreenWidth) / 2;
}

}  // namespace lite_installer
