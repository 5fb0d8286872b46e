// Geometry of the installer window's two screens, in client pixels, kept
// pure so that it is tested natively. The welcome screen has an optional
// Flash row that pushes the rows below it down by 20 pixels.
#ifndef UI_MAIN_WINDOW_LAYOUT_H_
#define UI_MAIN_WINDOW_LAYOUT_H_

#include "ui/layout_math.h"

namespace lite_installer {

// The background image's band around the window that the shadow shows, on
// every side; the client size is the image's size minus twice this.
constexpr int kMainWindowShadowMargin = 21;
// Width of the window on the progress screen (the logo column).
constexpr int kProgressScreenWidth = 178;
// The licence sentence: origin, line height and line width.
constexpr int kLicenseLeft = 180;
constexpr int kLicenseTop = 56;
constexpr int kLicenseLineHeight = 17;
constexpr int kLicenseMaxWidth = 360;

struct WelcomeLayout {
  LayoutRect title;
  LayoutRect make_default;
  LayoutRect flash;  // zero-sized without Flash
  LayoutRect statistics;
  LayoutRect privacy;
  LayoutRect install;
  LayoutRect cancel;
};

// The rectangle against which the statistics checkbox's text is measured:
// its row without or with Flash (the text wraps within it).
LayoutRect StatisticsReferenceRect(bool with_flash);

// The welcome screen for the measured height of the statistics checkbox and
// the frame sizes of the two button images.
WelcomeLayout ComputeWelcomeLayout(bool with_flash, int statistics_height, int install_width,
                                   int install_height, int cancel_width, int cancel_height);

// The progress bar (centred in the logo column, 66 pixels above the image's
// bottom edge) and the time-left line, for a background image of
// `background_height` logical pixels.
LayoutRect ProgressBarRect(int background_height, int bar_width, int bar_height);
LayoutRect TimeLeftRect(int background_height);

// Left edge of the window after it shrinks to the progress screen's width,
// so that it stays centred where it was.
int ShrunkWindowLeft(int old_left, int old_width);

}  // namespace lite_installer

#endif  // UI_MAIN_WINDOW_LAYOUT_H_
