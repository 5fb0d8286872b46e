// The installer window's welcome screen: texts, icons, fonts and painters at
// initialisation, the layout of the options and buttons, and the cancel,
// link and option clicks.
#include "ui/main_window.h"

#include <shellapi.h>

#include <string>

#include "brand/brand_package_info.h"
#include "base/os_version.h"
#include "base/system_library.h"
#include "ui/center_window.h"
#include "ui/child_controls.h"
#include "ui/link_text.h"
#include "ui/main_window_layout.h"
#include "ui/main_window_look.h"
#include "ui/string_table.h"
#include "ui/ui_environment.h"

namespace lite_installer {

namespace {

constexpr int kIconGroup = 128;

}  // namespace

void MainWindow::OnInitDialog() {
  notify_window.store(window_);
  AllowMessageThroughFilter(window_, import_progress_message);
  AllowMessageThroughFilter(window_, close_window_message);
  AllowMessageThroughFilter(window_, install_progress_message);
  AllowMessageThroughFilter(window_, higher_version_message);

  UiEnvironment::Startup();
  if (UiEnvironment::RichEditLibrary() == nullptr) {
    UiEnvironment::SetRichEditLibrary(LoadSystemLibrary(L"riched20.dll"));
  }

  // Texts, in the brand's language.
  const int language = static_cast<int>(brand.language_id);
  background.Load(kMainBackgroundImage);
  SetWindowTextW(window_, LoadStringIn(422, language).c_str());
  const struct {
    int control;
    int string_id;
  } texts[] = {{kInstallButtonId, 400}, {kCancelButtonId, 415}, {kMakeDefaultBoxId, 425},
               {kFlashBoxId, 417},      {kStatisticsBoxId, 424}, {kPrivacyLinkId, 416}};
  for (const auto& text : texts) SetDlgItemTextW(window_, text.control, LoadStringIn(text.string_id, language).c_str());
  SetDlgItemTextW(window_, kTitleId, LoadStringIn(brand.ShowInternationalTitle() ? 419 : 410, language).c_str());

  // Icons, shared with the system (not destroyed).
  HINSTANCE instance = UiEnvironment::ModuleInstance();
  HANDLE big_icon = LoadImageW(instance, MAKEINTRESOURCEW(kIconGroup), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                               GetSystemMetrics(SM_CYICON), LR_SHARED);
  HANDLE small_icon = LoadImageW(instance, MAKEINTRESOURCEW(kIconGroup), IMAGE_ICON,
                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));

  title_font.Reset(CreateUiFont(kMainTitleFont));
  small_font.Reset(CreateUiFont(kMainSmallFont));
  small_link_font.Reset(CreateUiFont(kMainSmallLinkFont));
  link_font.Reset(CreateUiFont(kMainLinkFont));
  text_font.Reset(CreateUiFont(kMainTextFont));
  // The statics also hold their fonts, so that their own font selection
  // agrees with the colour handler's.
  SendDlgItemMessageW(window_, kTitleId, WM_SETFONT, reinterpret_cast<WPARAM>(title_font.Get()), FALSE);
  SendDlgItemMessageW(window_, kTimeLeftId, WM_SETFONT, reinterpret_cast<WPARAM>(small_font.Get()), FALSE);
  SendDlgItemMessageW(window_, kPrivacyLinkId, WM_SETFONT, reinterpret_cast<WPARAM>(small_link_font.Get()), FALSE);

  // The licence sentence, one static per piece.
  const std::vector<HWND> pieces =
      CreateLinkText(window_, LoadStringIn(406, language), text_font.Get(), POINT{kLicenseLeft, kLicenseTop},
                     kLicenseLineHeight, kLicenseMaxWidth);
  for (HWND piece : pieces) {
    HFONT font = ControlId(piece) == kLicenseLinkId ? link_font.Get() : text_font.Get();
    SendMessageW(piece, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }

  // Painters.
  install_button.reset(new ImageButtonPainter(GetDlgItem(window_, kInstallButtonId), kInstallButtonImage,
                                              kInstallText, text_font.Get(), background, kMainBackgroundOffset));
  cancel_button.reset(new ImageButtonPainter(GetDlgItem(window_, kCancelButtonId), kCancelButtonImage, kCancelText,
                                             text_font.Get(), background, kMainBackgroundOffset));
  for (ImageButtonPainter* button : {install_button.get(), cancel_button.get()}) {
    button->text_insets = kMainButtonTextInsets;
    button->pressed_offset = kMainButtonPressedOffset;
  }
  const bool windows10 = GetOsVersionClass() >= kHideMakeDefaultFromOsClass;
  make_default_box.reset(new CheckboxPainter(GetDlgItem(window_, kMakeDefaultBoxId), small_font.Get(),
                                             windows10 ? false : brand.MakeBrowserDefault(), background));
  if (windows10) ShowWindow(GetDlgItem(window_, kMakeDefaultBoxId), SW_HIDE);
  flash_box.reset(new CheckboxPainter(GetDlgItem(window_, kFlashBoxId), small_font.Get(), true, background));
  statistics_box.reset(
      new CheckboxPainter(GetDlgItem(window_, kStatisticsBoxId), small_font.Get(), brand.SendStatistics(), background));

  progress_bar.reset(new ImageProgressBar(kProgressFillImage, kProgressTrackImage));
  HWND bar = GetDlgItem(window_, kProgressBarId);
  progress_bar->Subclass(bar);
  const int background_height = background.LogicalSize().cy;
  const SIZE bar_size = progress_bar->fill.LogicalSize();
  PlaceControl(bar, ProgressBarRect(background_height, bar_size.cx, bar_size.cy));
  PlaceControl(GetDlgItem(window_, kTimeLeftId), TimeLeftRect(background_height));
  license_link_cursor.Subclass(FirstChildWithId(window_, kLicenseLinkId));
  privacy_link_cursor.Subclass(GetDlgItem(window_, kPrivacyLinkId));

  // Size, place, shadow, then the welcome screen.
  const SIZE size = background.LogicalSize();
  SetWindowPos(window_, nullptr, 0, 0, size.cx - 2 * kMainWindowShadowMargin, size.cy - 2 * kMainWindowShadowMargin,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CenterWindow(window_);
  const RECT margins = {kMainWindowShadowMargin, kMainWindowShadowMargin, kMainWindowShadowMargin,
                        kMainWindowShadowMargin};
  shadow.Create(window_, background, margins);
  LayoutWelcomeScreen();
}

void MainWindow::LayoutWelcomeScreen() {
  const bool with_flash = brand.IsPpapi();
  const int statistics_height = statistics_box->MeasureHeight(ToRect(StatisticsReferenceRect(with_flash)));
  const SIZE install_size = install_button->ButtonSize();
  const SIZE cancel_size = cancel_button->ButtonSize();
  const WelcomeLayout layout = ComputeWelcomeLayout(with_flash, statistics_height, install_size.cx, install_size.cy,
                                                    cancel_size.cx, cancel_size.cy);
  PlaceControl(GetDlgItem(window_, kTitleId), layout.title);
  PlaceControl(GetDlgItem(window_, kMakeDefaultBoxId), layout.make_default);
  PlaceControl(GetDlgItem(window_, kFlashBoxId), layout.flash);
  if (!with_flash) ShowWindow(GetDlgItem(window_, kFlashBoxId), SW_HIDE);
  PlaceControl(GetDlgItem(window_, kStatisticsBoxId), layout.statistics);
  PlaceControl(GetDlgItem(window_, kPrivacyLinkId), layout.privacy);
  PlaceControl(GetDlgItem(window_, kInstallButtonId), layout.install);
  PlaceControl(GetDlgItem(window_, kCancelButtonId), layout.cancel);
}

void MainWindow::OnCancelClicked(int id) {
  if (id == kCancelButtonId) {
    InterlockedIncrement(&installer.cancel_count);
    EndDialog(window_, kResultCancel);
  }
  installer.SendButtonClickStat(L"cancel");
}

void MainWindow::OnLinkClicked(int id) {
  const std::wstring url = id == kLicenseLinkId ? brand.LicenseLinkUrl() : brand.PrivacyLinkUrl();
  ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW);
  installer.SendClickStat(L"clicked_link", url);
}

void MainWindow::OnOptionClicked(int id) {
  CheckboxPainter* painter = BoxPainter(id);
  if (painter != nullptr && painter->unthemed) {
    painter->Toggle();
    InvalidateRect(painter->window, nullptr, TRUE);
  }
  const wchar_t* value = id == kMakeDefaultBoxId ? L"default" : (id == kFlashBoxId ? L"install_flash" : L"sendstat");
  installer.SendCheckboxClickStat(value);
}

}  // namespace lite_installer
