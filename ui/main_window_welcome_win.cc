// The installer window's welcome screen: texts, icons, fonts and painters at
// initialisation, the layout of the options and buttons, and the cancel,
// link and option clicks.
#include "ui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "brand/brand_package_info.h"
#include "base/os_version.h"
#include "ui/center_window.h"
#include "ui/child_controls.h"
#include "ui/link_text.h"
#include "ui/main_window_layout.h"
#include "ui/main_window_look.h"
#include "ui/string_table.h"
#include "ui/ui_environment.h"

namespace lite_installer {

void MainWindow::OnInitDialog() {
  notify_window.store(window_);
  AllowMessageThroughFilter(window_, import_progress_message);
  AllowMessageThroughFilter(window_, close_window_message);
  AllowMessageThroughFilter(window_, install_progress_message);
  AllowMessageThroughFilter(window_, higher_version_message);

  UiEnvironment::Startup();

  // Texts, in the brand's language.
  const int language = static_cast<int>(brand.language_id);
  background.Load(IDR_IMAGE_MAIN_BACKGROUND);
  SetWindowTextW(window_, LoadStringIn(IDS_WINDOW_CAPTION, language).c_str());
  const struct {
    int control;
    int string_id;
  } texts[] = {{IDC_INSTALL_BUTTON, IDS_INSTALL_BUTTON}, {IDC_CANCEL_BUTTON, IDS_CANCEL_BUTTON},
               {IDC_MAKE_DEFAULT_BOX, IDS_MAKE_DEFAULT},   {IDC_FLASH_BOX, IDS_INSTALL_FLASH},
               {IDC_STATISTICS_BOX, IDS_SEND_STATISTICS},  {IDC_PRIVACY_LINK, IDS_PRIVACY_POLICY}};
  for (const auto& text : texts) SetDlgItemTextW(window_, text.control, LoadStringIn(text.string_id, language).c_str());
  const int title_id = brand.ShowInternationalTitle() ? IDS_SIMPLE_BROWSER_TITLE : IDS_FAST_BROWSER_TITLE;
  SetDlgItemTextW(window_, IDC_TITLE, LoadStringIn(title_id, language).c_str());

  title_font.Reset(CreateUiFont(kMainTitleFont));
  small_font.Reset(CreateUiFont(kMainSmallFont));
  small_link_font.Reset(CreateUiFont(kMainSmallLinkFont));
  link_font.Reset(CreateUiFont(kMainLinkFont));
  text_font.Reset(CreateUiFont(kMainTextFont));
  // The statics also hold their fonts, so that their own font selection
  // agrees with the colour handler's.
  SendDlgItemMessageW(window_, IDC_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(title_font.Get()), FALSE);
  SendDlgItemMessageW(window_, IDC_TIME_LEFT, WM_SETFONT, reinterpret_cast<WPARAM>(small_font.Get()), FALSE);
  SendDlgItemMessageW(window_, IDC_PRIVACY_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(small_link_font.Get()), FALSE);

  // The licence sentence, one static per piece, placed after the title in
  // the z-order: the Tab order and a screen reader's walk follow the
  // reading order (the sentence above the boxes).
  const std::wstring sentence = LoadStringIn(IDS_LICENSE_SENTENCE, language);
  const std::vector<HWND> pieces = CreateLinkText(window_, sentence, text_font.Get(), POINT{kLicenseLeft, kLicenseTop},
                                                  kLicenseLineHeight, kLicenseMaxWidth);
  HWND previous_in_order = GetDlgItem(window_, IDC_TITLE);
  for (HWND piece : pieces) {
    HFONT font = ControlId(piece) == IDC_LICENSE_LINK ? link_font.Get() : text_font.Get();
    SendMessageW(piece, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetWindowPos(piece, previous_in_order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous_in_order = piece;
  }

  // Painters.
  install_button.reset(new ImageButtonPainter(GetDlgItem(window_, IDC_INSTALL_BUTTON), IDR_IMAGE_INSTALL_BUTTON,
                                              kInstallText, text_font.Get(), background, kMainBackgroundOffset));
  cancel_button.reset(new ImageButtonPainter(GetDlgItem(window_, IDC_CANCEL_BUTTON), IDR_IMAGE_CANCEL_BUTTON,
                                             kCancelText, text_font.Get(), background, kMainBackgroundOffset));
  for (ImageButtonPainter* button : {install_button.get(), cancel_button.get()}) {
    button->text_insets = kMainButtonTextInsets;
    button->pressed_offset = kMainButtonPressedOffset;
  }
  const bool windows10 = GetOsVersionClass() >= kHideMakeDefaultFromOsClass;
  make_default_box.reset(new CheckboxPainter(GetDlgItem(window_, IDC_MAKE_DEFAULT_BOX), small_font.Get(),
                                             windows10 ? false : brand.MakeBrowserDefault(), background));
  if (windows10) ShowWindow(GetDlgItem(window_, IDC_MAKE_DEFAULT_BOX), SW_HIDE);
  // The three boxes share one decoded strip.
  flash_box.reset(new CheckboxPainter(GetDlgItem(window_, IDC_FLASH_BOX), small_font.Get(), true, background,
                                      &make_default_box->strip));
  statistics_box.reset(new CheckboxPainter(GetDlgItem(window_, IDC_STATISTICS_BOX), small_font.Get(),
                                           brand.SendStatistics(), background, &make_default_box->strip));

  // The time-left line shows from the start, at its progress-screen place.
  PlaceControl(GetDlgItem(window_, IDC_TIME_LEFT), TimeLeftRect(background.LogicalSize().cy));
  license_link_cursor.Subclass(FirstChildWithId(window_, IDC_LICENSE_LINK));
  privacy_link_cursor.Subclass(GetDlgItem(window_, IDC_PRIVACY_LINK));

  // Size, place, then the welcome screen; the shadow and the rest of the
  // start come after the first paint.
  const SIZE size = background.LogicalSize();
  const SIZE window_size = {size.cx - 2 * kMainWindowShadowMargin, size.cy - 2 * kMainWindowShadowMargin};
  CenterWindow(window_, &window_size);
  LayoutWelcomeScreen();
  // Install has the focus when the screen opens (and is the default button).
  SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, IDC_INSTALL_BUTTON)), TRUE);
  SetTimer(window_, kStartTimerId, kStartFallbackMs, nullptr);
}

bool MainWindow::RunNextStartStep() {
  switch (start_steps_done++) {
    case 0: {
      // The taskbar button's icons, shared with the system (not destroyed).
      HINSTANCE instance = UiEnvironment::ModuleInstance();
      HANDLE big_icon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_INSTALLER), IMAGE_ICON,
                                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED);
      HANDLE small_icon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_INSTALLER), IMAGE_ICON,
                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
      SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon));
      SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
      // No shadow around a window that is already hidden for a dialog of its own.
      if (!closing && IsWindowVisible(window_)) {
        const RECT margins = {kMainWindowShadowMargin, kMainWindowShadowMargin, kMainWindowShadowMargin,
                              kMainWindowShadowMargin};
        shadow.Create(window_, background, margins);
      }
      return true;
    }
    case 1: {
      // The progress bar, hidden until the install click, is made here rather
      // than with the window: one control less to create before it shows.
      progress_bar.reset(new ImageProgressBar(IDR_IMAGE_PROGRESS_FILL, IDR_IMAGE_PROGRESS_TRACK));
      HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 0, 0, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_BAR)),
                                 UiEnvironment::ModuleInstance(), nullptr);
      progress_bar->Subclass(bar);
      const SIZE bar_size = progress_bar->fill.LogicalSize();
      PlaceControl(bar, ProgressBarRect(background.LogicalSize().cy, bar_size.cx, bar_size.cy));
      return true;
    }
    case 2:
      AnnotateForScreenReaders();
      return true;
    case 3:
      KillTimer(window_, kStartTimerId);
      installer.StartWorker();
      return false;
    default:
      start_steps_done = 4;
      return false;
  }
}

void MainWindow::CompleteStart() {
  while (RunNextStartStep()) {
  }
}

void MainWindow::AnnotateForScreenReaders() {
  // The sentence is read once, whole, by its first plain piece; the link
  // piece is a link named by its text; the other pieces are left out. The
  // pieces are the statics of ids IDC_LICENSE_LINK and IDC_STATIC, in
  // reading order from the title on.
  const std::wstring sentence = LoadStringIn(IDS_LICENSE_SENTENCE, static_cast<int>(brand.language_id));
  std::vector<HWND> pieces;
  for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ControlId(child) == IDC_LICENSE_LINK || ControlId(child) == IDC_STATIC) pieces.push_back(child);
  }
  std::wstring whole;
  for (const LinkTextToken& token : TokenizeLinkText(sentence)) whole += token.text;
  bool sentence_named = false;
  for (HWND piece : pieces) {
    if (ControlId(piece) == IDC_LICENSE_LINK) {
      annotations.Link(piece, WindowText(piece));
    } else if (!sentence_named) {
      annotations.Name(piece, whole);
      sentence_named = true;
    } else {
      annotations.Hide(piece);
    }
  }
  HWND privacy = GetDlgItem(window_, IDC_PRIVACY_LINK);
  annotations.Link(privacy, WindowText(privacy));
  // The bar's name is also its window text, which any reader can fetch.
  const std::wstring bar_name = LoadStringIn(IDS_INSTALLING_BROWSER, static_cast<int>(brand.language_id));
  HWND bar = GetDlgItem(window_, IDC_PROGRESS_BAR);
  SetWindowTextW(bar, bar_name.c_str());
  annotations.Name(bar, bar_name);
}

void MainWindow::LayoutWelcomeScreen() {
  const bool with_flash = brand.IsPpapi();
  const int statistics_height = statistics_box->MeasureHeight(ToRect(StatisticsReferenceRect(with_flash)));
  const SIZE install_size = install_button->ButtonSize();
  const SIZE cancel_size = cancel_button->ButtonSize();
  const WelcomeLayout layout = ComputeWelcomeLayout(with_flash, statistics_height, install_size.cx, install_size.cy,
                                                    cancel_size.cx, cancel_size.cy);
  PlaceControl(GetDlgItem(window_, IDC_TITLE), layout.title);
  PlaceControl(GetDlgItem(window_, IDC_MAKE_DEFAULT_BOX), layout.make_default);
  PlaceControl(GetDlgItem(window_, IDC_FLASH_BOX), layout.flash);
  if (!with_flash) ShowWindow(GetDlgItem(window_, IDC_FLASH_BOX), SW_HIDE);
  PlaceControl(GetDlgItem(window_, IDC_STATISTICS_BOX), layout.statistics);
  PlaceControl(GetDlgItem(window_, IDC_PRIVACY_LINK), layout.privacy);
  PlaceControl(GetDlgItem(window_, IDC_INSTALL_BUTTON), layout.install);
  PlaceControl(GetDlgItem(window_, IDC_CANCEL_BUTTON), layout.cancel);
}

void MainWindow::OnCancelClicked(int id) {
  if (id == IDC_CANCEL_BUTTON) {
    InterlockedIncrement(&installer.cancel_count);
    EndDialog(window_, kResultCancel);
  }
  installer.SendButtonClickStat(L"cancel");
}

void MainWindow::OnLinkClicked(int id) {
  const std::wstring url = id == IDC_LICENSE_LINK ? brand.LicenseLinkUrl() : brand.PrivacyLinkUrl();
  ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW);
  installer.SendClickStat(L"clicked_link", url);
}

void MainWindow::OnOptionClicked(int id) {
  CheckboxPainter* painter = BoxPainter(id);
  if (painter != nullptr && painter->unthemed) {
    painter->Toggle();
    InvalidateRect(painter->window, nullptr, TRUE);
  }
  const wchar_t* value =
      id == IDC_MAKE_DEFAULT_BOX ? L"default" : (id == IDC_FLASH_BOX ? L"install_flash" : L"sendstat");
  installer.SendCheckboxClickStat(value);
}

}  // namespace lite_installer
