// The installer window's progress screen: the install click that hands the
// options to the controller and switches screens, the taskbar button's
// progress, the progress bar and time-left line, and the error dialog that
// ends the run.
#include "ui/main_window.h"

#include <shobjidl.h>

#include <string>

#include "brand/brand_package_info.h"
#include "brand/download_page.h"
#include "install/distrib_info_params.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/os_version.h"
#include "ui/child_controls.h"
#include "ui/main_window_layout.h"
#include "ui/message_dialog.h"
#include "ui/progress_protocol.h"
#include "ui/string_table.h"

namespace lite_installer {

namespace {

constexpr int kTimeLeftBufferLength = 512;  // wide characters, with the terminator

// The taskbar object and its progress interface.
const CLSID kTaskbarListClass = {0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
const IID kTaskbarList3Interface = {0xEA1AFB91, 0x9E28, 0x4B86, {0x90, 0x9E, 0x9F, 0x8A, 0x5E, 0xEF, 0xAF, 0xE9}};

// The welcome controls, in the order they are destroyed at the screen switch.
const int kWelcomeControls[] = {IDC_INSTALL_BUTTON, IDC_CANCEL_BUTTON,  IDC_TITLE,
                                IDC_LICENSE_LINK,   IDC_MAKE_DEFAULT_BOX, IDC_FLASH_BOX,
                                IDC_STATISTICS_BOX, IDC_PRIVACY_LINK,   IDC_LICENSE_LINK,
                                IDC_STATIC};

}  // namespace

void MainWindow::OnInstallClicked() {
  // The options, written before the install signal that orders them for the
  // worker.
  if (GetOsVersionClass() < kHideMakeDefaultFromOsClass) installer.make_default = make_default_box->IsChecked();
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

  install_started.store(true);
  if (pending_error.load() != 0) {
    ShowErrorAndEnd();
  } else {
    SetEvent(installer.install_event.Get());
  }
}

void MainWindow::CreateTaskbarProgress() {
  void* object = nullptr;
  if (FAILED(CoCreateInstance(kTaskbarListClass, nullptr, CLSCTX_ALL, kTaskbarList3Interface, &object)) ||
      object == nullptr) {
    Log(kWarning, log_tag::kMainWindowOnInstallClicked, __LINE__,
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
    for (HWND control = FirstChildWithId(window_, id); control != nullptr; control = FirstChildWithId(window_, id)) {
      if (!DestroyWindow(control)) break;
    }
  }
  HWND bar = GetDlgItem(window_, IDC_PROGRESS_BAR);
  ShowWindow(bar, SW_SHOW);
  SendMessageW(bar, PBM_SETRANGE32, 0, 100);
  SendMessageW(bar, PBM_SETPOS, 0, 0);
  ShowWindow(GetDlgItem(window_, IDC_TIME_LEFT), SW_SHOW);
  InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::SetProgressPosition(int position) {
  SendDlgItemMessageW(window_, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  if (taskbar != nullptr) taskbar->SetProgressValue(window_, TaskbarProgressValue(position), 100);
}

void MainWindow::UpdateTimeLeftLine(uint32_t seconds, int kind) {
  HWND line = GetDlgItem(window_, IDC_TIME_LEFT);
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

}  // namespace lite_installer
