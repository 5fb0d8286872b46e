#include "ui/main_window.h"

#include <shellapi.h>
#include <shobjidl.h>

#include <string>

#include "brand/brand_package_info.h"
#include "brand/download_page.h"
#include "install/distrib_info_params.h"
#include "installer/log.h"
#include "installer/os_version.h"
#include "ui/center_window.h"
#include "ui/link_text.h"
#include "ui/main_window_layout.h"
#include "ui/message_dialog.h"
#include "ui/progress_protocol.h"
#include "ui/string_table.h"
#include "ui/ui_environment.h"

namespace lite_installer {

namespace {

constexpr int kIconGroup = 128;
constexpr int kBackgroundImage = 307;
constexpr int kInstallButtonImage = 309;
constexpr int kCancelButtonImage = 310;
constexpr int kProgressFillImage = 313;
constexpr int kProgressTrackImage = 314;
constexpr int kTimeLeftBufferLength = 512;  // wide characters, with the terminator
constexpr OsVersionClass kWindows10Class = 7;
constexpr DWORD kStopWaitMs = 10000;  // how long a close request waits for the worker
constexpr POINT kBackgroundOffset = {kMainWindowShadowMargin, kMainWindowShadowMargin};

constexpr COLORREF kDarkText = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kTimeLeftText = RGB(0x8C, 0x8C, 0x8C);
constexpr COLORREF kPrivacyText = RGB(0x66, 0x66, 0x66);
constexpr COLORREF kInstallText = RGB(0x66, 0x33, 0x00);
constexpr COLORREF kCancelText = RGB(0x66, 0x66, 0x66);

// The taskbar object and its progress interface.
const CLSID kTaskbarListClass = {0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
const IID kTaskbarList3Interface = {0xEA1AFB91, 0x9E28, 0x4B86, {0x90, 0x9E, 0x9F, 0x8A, 0x5E, 0xEF, 0xAF, 0xE9}};

// The welcome controls, in the order they are destroyed at the screen switch.
const int kWelcomeControls[] = {kInstallButtonId, kCancelButtonId, kTitleId, kLicenseLinkId, kMakeDefaultBoxId,
                                kFlashBoxId, kStatisticsBoxId, kPrivacyLinkId, kLicenseLinkId,
                                kPlainTextPieceId};

int ControlId(HWND control) { return static_cast<int>(static_cast<short>(GetDlgCtrlID(control))); }

// The first child of `window` with `id` (GetDlgItem cannot find id -1
// reliably, since several pieces share it).
HWND ChildWithId(HWND window, int id) {
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ControlId(child) == id) return child;
  }
  return nullptr;
}

void Place(HWND control, const LayoutRect& rect) {
  SetWindowPos(control, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ToRect(const LayoutRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

using ChangeFilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
using ChangeFilter = BOOL(WINAPI*)(UINT, DWORD);

}  // namespace

bool AllowMessageThroughFilter(HWND window, UINT message) {
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW and MSGFLT_ADD
  const OsVersionClass version = GetOsVersionClass();
  if (version < 3) return true;
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return false;
  if (version > 3) {
    auto function = reinterpret_cast<ChangeFilterEx>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    return function != nullptr && function(window, message, kAllow, nullptr) == 1;
  }
  auto function = reinterpret_cast<ChangeFilter>(
      reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")));
  return function != nullptr && function(message, kAllow) == 1;
}

MainWindow::MainWindow(BrandPackageInfo& brand, DistribInfoParams& distrib_params)
    : brand(brand), distrib_params(distrib_params), installer(this, brand, distrib_params) {
  import_progress_message = RegisterWindowMessageW(L"korvex.lite.set_import_progress");
  close_window_message = RegisterWindowMessageW(L"korvex.lite.close_window");
  install_progress_message = RegisterWindowMessageW(L"korvex.lite.set_install_progress");
  higher_version_message = RegisterWindowMessageW(L"korvex.higher_version_exist");
  installer.StartWorker();
}

MainWindow::~MainWindow() {
  InterlockedExchangePointer(const_cast<void**>(&notify_window), nullptr);
  installer.Stop();
  if (taskbar != nullptr) {
    taskbar->Release();
    taskbar = nullptr;
  }
}

INT_PTR MainWindow::DoModal(HWND owner) {
  const INT_PTR result = RunModal(kMainWindowTemplate, owner);
  InterlockedExchangePointer(const_cast<void**>(&notify_window), nullptr);
  if (result == -1) Log(kError, L"lite_installer::MainWindow::DoModal", __LINE__, L"Installer window not shown.");
  return result;
}

// --- Observer operations (worker thread) -----------------------------------

void MainWindow::Post(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND target = static_cast<HWND>(InterlockedCompareExchangePointer(const_cast<void**>(&notify_window), nullptr, nullptr));
  if (target != nullptr) PostMessageW(target, message, wparam, lparam);
}

void MainWindow::OnSlowDownload() { InterlockedExchange(&show_time_left, 1); }

void MainWindow::OnTimeLeft(int seconds, int state) {
  Post(kTimeLeftMessage, static_cast<WPARAM>(static_cast<uint32_t>(seconds)), static_cast<LPARAM>(state));
}

void MainWindow::OnFinished() {
  if (InterlockedCompareExchange(&install_started, 0, 0) != 0) Post(kFinishedMessage, 0, 0);
}

void MainWindow::OnError(int result) {
  InterlockedExchange(&pending_error, result);
  if (InterlockedCompareExchange(&install_started, 0, 0) != 0) Post(kErrorMessage, 0, 0);
}

intptr_t MainWindow::GetWindowHandle() {
  return reinterpret_cast<intptr_t>(InterlockedCompareExchangePointer(const_cast<void**>(&notify_window), nullptr, nullptr));
}

void MainWindow::SetProgress(int percent) { Post(kSetProgressMessage, static_cast<WPARAM>(percent), 0); }

// --- Messages ----------------------------------------------------------------

bool MainWindow::ProcessMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  *result = 0;
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return true;
    case WM_ERASEBKGND:
      *result = TRUE;
      return true;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      CheckboxPainter* painter = BoxPainter(static_cast<int>(item->CtlID));
      if (painter == nullptr) return false;
      painter->OnDrawItem(*item);
      *result = TRUE;
      return true;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->code != NM_CUSTOMDRAW) return false;
      bool handled = false;
      *result = OnCustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(lparam), &handled);
      return handled;
    }
    default:
      break;
  }
  if (message == install_progress_message) {
    OnInstallProgress(static_cast<int32_t>(wparam));
    return true;
  }
  if (message == import_progress_message) {
    OnImportProgress(static_cast<int32_t>(wparam), static_cast<int32_t>(lparam));
    return true;
  }
  if (message == close_window_message) {
    OnCloseWindow();
    return true;
  }
  if (message == higher_version_message) {
    OnHigherVersionExist();
    return true;
  }
  switch (message) {
    case WM_SYSCOMMAND:
      // Every system command is consumed: the window cannot be moved, sized
      // or minimised; only the close command (Alt+F4) ends it.
      if ((wparam & 0xFFF0) == SC_CLOSE) EndDialog(window_, kResultSystemClose);
      return true;
    case kSetProgressMessage:
      SetProgressPosition(static_cast<int>(wparam));
      return true;
    case kTimeLeftMessage:
      if (InterlockedCompareExchange(&show_time_left, 0, 0) == 0) return false;
      UpdateTimeLeftLine(static_cast<uint32_t>(wparam), static_cast<int>(lparam));
      return true;
    case kFinishedMessage:
      if (!closing) EndDialog(window_, kResultRunOver);
      return true;
    case kErrorMessage:
      ShowErrorAndEnd();
      return true;
    case WM_COMMAND: {
      if (HIWORD(wparam) != 0) return false;
      const int id = static_cast<int>(static_cast<short>(LOWORD(wparam)));
      if (id == kCancelButtonId || id == kEscapeCommandId) {
        OnCancelClicked(id);
        return true;
      }
      if (id == kInstallButtonId) {
        // Enter sends this id too; after the screen switch it does nothing.
        if (InterlockedCompareExchange(&install_started, 0, 0) == 0) OnInstallClicked();
        return true;
      }
      if (id == kLicenseLinkId || id == kPrivacyLinkId) {
        OnLinkClicked(id);
        return true;
      }
      if (id >= kMakeDefaultBoxId && id <= kFlashBoxId) {
        OnOptionClicked(id);
        return true;
      }
      return false;
    }
    case WM_INITDIALOG:
      OnInitDialog();
      *result = TRUE;
      return true;
    case WM_CTLCOLORDLG:
      *result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      return true;
    case WM_CTLCOLORSTATIC:
      *result = OnCtlColorStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
      return true;
    default:
      return false;
  }
}

void MainWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  RECT client;
  GetClientRect(window_, &client);
  background.Draw(dc, 0, 0, client.right, client.bottom, kBackgroundOffset.x, kBackgroundOffset.y, client.right,
                  client.bottom);
  EndPaint(window_, &paint);
}

LRESULT MainWindow::OnCustomDraw(const NMCUSTOMDRAW& notification, bool* handled) {
  const int id = static_cast<int>(notification.hdr.idFrom);
  if (id == kInstallButtonId || id == kCancelButtonId) {
    ImageButtonPainter* painter = id == kInstallButtonId ? install_button.get() : cancel_button.get();
    if (painter == nullptr) return CDRF_DODEFAULT;
    *handled = true;
    return painter->OnCustomDraw(notification);
  }
  CheckboxPainter* painter = BoxPainter(id);
  if (painter == nullptr) return CDRF_DODEFAULT;
  const LRESULT answer = painter->OnCustomDraw(notification);
  *handled = answer == CDRF_SKIPDEFAULT;
  return answer;
}

LRESULT MainWindow::OnCtlColorStatic(HDC dc, HWND control) {
  const int id = ControlId(control);
  COLORREF color = kDarkText;
  HFONT font = nullptr;
  switch (id) {
    case kTitleId:
      font = title_font.Get();
      break;
    case kTimeLeftId:
      font = small_font.Get();
      color = kTimeLeftText;
      break;
    case kLicenseLinkId:
      font = link_font.Get();
      break;
    case kPrivacyLinkId:
      font = small_link_font.Get();
      color = kPrivacyText;
      break;
    case kPlainTextPieceId:
      font = text_font.Get();
      break;
    default:
      break;
  }
  if (font != nullptr) SelectObject(dc, font);
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

// --- Initialisation ----------------------------------------------------------

void MainWindow::OnInitDialog() {
  InterlockedExchangePointer(const_cast<void**>(&notify_window), window_);
  AllowMessageThroughFilter(window_, import_progress_message);
  AllowMessageThroughFilter(window_, close_window_message);
  AllowMessageThroughFilter(window_, install_progress_message);
  AllowMessageThroughFilter(window_, higher_version_message);

  UiEnvironment::Startup();
  if (UiEnvironment::RichEditLibrary() == nullptr) UiEnvironment::SetRichEditLibrary(LoadLibraryW(L"RICHED20.DLL"));

  // Texts, in the brand's language.
  const int language = static_cast<int>(brand.language_id);
  background.Load(kBackgroundImage);
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

  title_font.Reset(CreateUiFont(L"Arial", 17, FW_BOLD, false));
  small_font.Reset(CreateUiFont(L"Arial", 12, FW_NORMAL, false));
  small_link_font.Reset(CreateUiFont(L"Arial", 12, FW_NORMAL, true));
  link_font.Reset(CreateUiFont(L"Arial", 14, FW_NORMAL, true));
  text_font.Reset(CreateUiFont(L"Arial", 14, FW_NORMAL, false));
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
                                              kInstallText, text_font.Get(), background, kBackgroundOffset));
  cancel_button.reset(new ImageButtonPainter(GetDlgItem(window_, kCancelButtonId), kCancelButtonImage, kCancelText,
                                             text_font.Get(), background, kBackgroundOffset));
  for (ImageButtonPainter* button : {install_button.get(), cancel_button.get()}) {
    button->text_insets = RECT{0, -2, 0, 2};
    button->pressed_offset = POINT{0, 1};
  }
  const bool windows10 = GetOsVersionClass() >= kWindows10Class;
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
  Place(bar, ProgressBarRect(background_height, bar_size.cx, bar_size.cy));
  Place(GetDlgItem(window_, kTimeLeftId), TimeLeftRect(background_height));
  license_link_cursor.Subclass(ChildWithId(window_, kLicenseLinkId));
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
  Place(GetDlgItem(window_, kTitleId), layout.title);
  Place(GetDlgItem(window_, kMakeDefaultBoxId), layout.make_default);
  Place(GetDlgItem(window_, kFlashBoxId), layout.flash);
  if (!with_flash) ShowWindow(GetDlgItem(window_, kFlashBoxId), SW_HIDE);
  Place(GetDlgItem(window_, kStatisticsBoxId), layout.statistics);
  Place(GetDlgItem(window_, kPrivacyLinkId), layout.privacy);
  Place(GetDlgItem(window_, kInstallButtonId), layout.install);
  Place(GetDlgItem(window_, kCancelButtonId), layout.cancel);
}

// --- User actions --------------------------------------------------------------

CheckboxPainter* MainWindow::BoxPainter(int id) {
  if (id == kMakeDefaultBoxId) return make_default_box.get();
  if (id == kFlashBoxId) return flash_box.get();
  if (id == kStatisticsBoxId) return statistics_box.get();
  return nullptr;
}

void MainWindow::OnInstallClicked() {
  // The options, written before the install signal that orders them for the
  // worker.
  if (GetOsVersionClass() < kWindows10Class) installer.make_default = make_default_box->IsChecked();
  installer.install_flash = flash_box->IsChecked();
  installer.send_stats = statistics_box->IsChecked();

  installer.SendButtonClickStat(L"install");
  installer.ReportStatisticsImpl(L"cid=72979/path=KlickNachatPolzovatsya");

  RECT rect;
  GetWindowRect(window_, &rect);
  SetWindowPos(window_, nullptr, ShrunkWindowLeft(rect.left, rect.right - rect.left), rect.top,
               kProgressScreenWidth, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  shadow.Update();

  CreateTaskbarProgress();
  SwitchToProgressScreen();

  InterlockedExchange(&install_started, 1);
  if (InterlockedCompareExchange(&pending_error, 0, 0) != 0) {
    ShowErrorAndEnd();
  } else {
    SetEvent(installer.install_event.Get());
  }
}

void MainWindow::CreateTaskbarProgress() {
  void* object = nullptr;
  if (FAILED(CoCreateInstance(kTaskbarListClass, nullptr, CLSCTX_ALL, kTaskbarList3Interface, &object)) ||
      object == nullptr) {
    Log(kWarning, L"lite_installer::MainWindow::OnInstallClicked", __LINE__,
        L"No taskbar progress: the taskbar object cannot be created.");
    return;
  }
  taskbar = static_cast<ITaskbarList3*>(object);
  taskbar->HrInit();
  taskbar->SetProgressState(window_, TBPF_NORMAL);
  taskbar->SetProgressValue(window_, 0, 100);
}

void MainWindow::SwitchToProgressScreen() {
  for (int id : kWelcomeControls) {
    for (HWND control = ChildWithId(window_, id); control != nullptr; control = ChildWithId(window_, id)) {
      if (!DestroyWindow(control)) break;
    }
  }
  HWND bar = GetDlgItem(window_, kProgressBarId);
  ShowWindow(bar, SW_SHOW);
  SendMessageW(bar, PBM_SETRANGE32, 0, 100);
  SendMessageW(bar, PBM_SETPOS, 0, 0);
  ShowWindow(GetDlgItem(window_, kTimeLeftId), SW_SHOW);
  InvalidateRect(window_, nullptr, TRUE);
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

void MainWindow::ShowErrorAndEnd() {
  // The error may be reported both by the click (pending) and by the
  // worker's notice; it is shown once, and not over the newer-version notice.
  if (closing) return;
  closing = true;
  ShowWindow(window_, SW_HIDE);
  if (shadow.window != nullptr) ShowWindow(shadow.window, SW_HIDE);
  const std::string url = DownloadPageUrl(brand, distrib_params.params);
  {
    ErrorDialog dialog(url, static_cast<int>(brand.language_id));
    dialog.DoModal(GetActiveWindow());
  }
  EndDialog(window_, kResultRunOver);
}

// --- Setup messages and private messages (window thread) -------------------------

void MainWindow::OnInstallProgress(int32_t stage) {
  const int position = InstallStagePosition(stage);
  LogFormat(kInfo, L"lite_installer::MainWindow::OnInstallProgress", __LINE__,
            L"--> Installer > MainWindow::OnInstallProgress: %d", position);
  if (position != 0) SetProgress(position);
  if (stage == 6) OnTimeLeft(180, kTimeLeftUpperBound);
}

void MainWindow::OnImportProgress(int32_t percent, int32_t stage) {
  LogFormat(kInfo, L"lite_installer::MainWindow::OnImportProgress", __LINE__,
            L"--> Installer > MainWindow::OnImportProgress: %d", percent);
  SetProgress(ImportProgressPosition(percent));
  int seconds = 0;
  if (ImportStageTimeLeft(stage, &seconds)) OnTimeLeft(seconds, kTimeLeftUpperBound);
}

void MainWindow::OnCloseWindow() {
  Log(kInfo, L"lite_installer::MainWindow::OnCloseWindow", __LINE__, L"--> Installer > MainWindow::OnCloseWindow");
  // The sender gets its answer at once: a setup that waits for it must not
  // hold up the worker that waits for the setup.
  if (InSendMessage()) ReplyMessage(0);
  // A newer-version notice that arrives later is not shown any more; one
  // that is open already (or the error dialog) stays until the user closes
  // it, and the window ends then.
  const bool dialog_open = closing;
  closing = true;
  StopController();
  if (!dialog_open) EndDialog(window_, kResultRunOver);
}

void MainWindow::StopController() {
  // Installer::Stop's contract (signal, then wait at most 10 s for the
  // worker), but messages that other threads and processes send to this
  // thread are answered meanwhile: the worker may be waiting for a setup
  // that waits for this window to answer its next progress message.
  installer.SignalStop();
  if (!installer.worker_thread.IsValid()) return;
  HANDLE worker = installer.worker_thread.Get();
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= kStopWaitMs) break;
    if (MsgWaitForMultipleObjects(1, &worker, FALSE, kStopWaitMs - elapsed, QS_SENDMESSAGE) != WAIT_OBJECT_0 + 1) {
      break;  // the worker ended, the time is up, or the wait failed
    }
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void MainWindow::OnHigherVersionExist() {
  if (InSendMessage()) ReplyMessage(0);
  if (closing) return;
  closing = true;
  ShowWindow(window_, SW_HIDE);
  if (shadow.window != nullptr) ShowWindow(shadow.window, SW_HIDE);
  {
    NoticeDialog notice(static_cast<int>(brand.language_id), 413, 418, 403);
    notice.DoModal(GetActiveWindow());
  }
  EndDialog(window_, kResultRunOver);
}

void MainWindow::SetProgressPosition(int position) {
  SendDlgItemMessageW(window_, kProgressBarId, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  if (taskbar != nullptr) taskbar->SetProgressValue(window_, static_cast<ULONGLONG>(position), 100);
}

void MainWindow::UpdateTimeLeftLine(uint32_t seconds, int kind) {
  HWND line = GetDlgItem(window_, kTimeLeftId);
  RECT rect;
  GetWindowRect(line, &rect);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
  InvalidateRect(window_, &rect, TRUE);
  const TimeLeftText choice = ChooseTimeLeftText(seconds, kind);
  std::wstring text;
  if (choice.string_id != 0) {
    text = FormatWithInteger(LoadStringIn(choice.string_id, static_cast<int>(brand.language_id)), choice.value,
                             kTimeLeftBufferLength - 1);
  }
  SetWindowTextW(line, text.c_str());
}

}  // namespace lite_installer
