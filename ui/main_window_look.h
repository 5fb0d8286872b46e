// How the installer window looks: its text colours and fonts (its images are
// the IDR_IMAGE_* resources). Shared by the window's files and by the
// text-fit measurement, so that both use the same fonts. Windows build only.
#ifndef UI_MAIN_WINDOW_LOOK_H_
#define UI_MAIN_WINDOW_LOOK_H_

#include <windows.h>

#include "resources/resource_ids.h"
#include "ui/fonts.h"
#include "ui/main_window_layout.h"

namespace lite_installer {

// Where the client area starts inside the background image.
constexpr POINT kMainBackgroundOffset = {kMainWindowShadowMargin, kMainWindowShadowMargin};

constexpr COLORREF kDarkText = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kTimeLeftText = RGB(0x8C, 0x8C, 0x8C);
constexpr COLORREF kPrivacyText = RGB(0x66, 0x66, 0x66);
constexpr COLORREF kInstallText = RGB(0x66, 0x33, 0x00);
constexpr COLORREF kCancelText = RGB(0x66, 0x66, 0x66);

// The title; the checkbox texts and the time-left line; the privacy link;
// the licence link piece; the licence text and the button texts.
constexpr UiFontDescription kMainTitleFont = {L"Arial", 17, FW_BOLD, false};
constexpr UiFontDescription kMainSmallFont = {L"Arial", 12, FW_NORMAL, false};
constexpr UiFontDescription kMainSmallLinkFont = {L"Arial", 12, FW_NORMAL, true};
constexpr UiFontDescription kMainLinkFont = {L"Arial", 14, FW_NORMAL, true};
constexpr UiFontDescription kMainTextFont = {L"Arial", 14, FW_NORMAL, false};

// The button texts' rectangle: 2 pixels up, 1 pixel down while pressed.
constexpr RECT kMainButtonTextInsets = {0, -2, 0, 2};
constexpr POINT kMainButtonPressedOffset = {0, 1};

}  // namespace lite_installer

#endif  // UI_MAIN_WINDOW_LOOK_H_
