// The installer window's plumbing: construction and teardown, the modal run,
// the message dispatch, and the painting of the background, the image
// buttons and checkboxes and the transparent statics.
#include "ui/main_window.h"

#include <shobjidl.h>

#include "base/log.h"
#include "base/log_tags.h"
#include "ui/child_controls.h"
#include "ui/main_window_look.h"

namespace lite_installer {

MainWindow::MainWindow(BrandPackageInfo& brand, DistribInfoParams& distrib_params, InstallerFactory make_installer)
    : brand(brand),
      distrib_params(distrib_params),
      owned_installer(make_installer(this, brand, distrib_params)),
      installer(*owned_installer) {
  import_progress_message = RegisterWindowMessageW(L"korvex.lite.set_import_progress");
  close_window_message = RegisterWindowMessageW(L"korvex.lite.close_window");
  install_progress_message = RegisterWindowMessageW(L"korvex.lite.set_install_progress");
  higher_version_message = RegisterWindowMessageW(L"korvex.higher_version_exist");
}

MainWindow::~MainWindow() {
  notify_window.store(nullptr);
  installer.Stop();
  if (taskbar != nullptr) {
    taskbar->Release();
    taskbar = nullptr;
  }
}

INT_PTR MainWindow::DoModal(HWND owner) {
  const INT_PTR result = RunModal(IDD_MAIN_WINDOW, owner);
  notify_window.store(nullptr);
  if (result == -1) Log(kError, log_tag::kMainWindowDoModal, __LINE__, L"Installer window not shown.");
  return result;
}

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
  // The user or the setup asks something of the window: its start is
  // complete first (the worker runs, the images are loaded).
  const bool registered = message == install_progress_message || message == import_progress_message ||
                          message == close_window_message || message == higher_version_message;
  if (registered || message == WM_SYSCOMMAND || (message == WM_COMMAND && HIWORD(wparam) == 0) ||
      (message == WM_TIMER && wparam == kStartTimerId)) {
    CompleteStart();
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
      if (!show_time_left.load()) return false;
      UpdateTimeLeftLine(static_cast<uint32_t>(wparam), static_cast<int>(lparam));
      return true;
    case kFinishedMessage:
      if (!closing) EndDialog(window_, kResultRunOver);
      return true;
    case kErrorMessage:
      ShowErrorAndEnd();
      return true;
    case kStartStepMessage:
      if (RunNextStartStep()) Post(kStartStepMessage, 0, 0);
      return true;
    case WM_TIMER:
      return wparam == kStartTimerId;
    case WM_COMMAND: {
      if (HIWORD(wparam) == BN_SETFOCUS || HIWORD(wparam) == BN_KILLFOCUS) {
        // The painters draw the focus: the button is drawn again when it
        // gains or loses it.
        InvalidateRect(reinterpret_cast<HWND>(lparam), nullptr, TRUE);
        return true;
      }
      if (HIWORD(wparam) != 0) return false;
      const int id = static_cast<int>(static_cast<short>(LOWORD(wparam)));
      if (id == IDC_CANCEL_BUTTON || id == kEscapeCommandId) {
        OnCancelClicked(id);
        return true;
      }
      if (id == IDC_INSTALL_BUTTON) {
        // Enter sends this id too; after the screen switch it does nothing.
        if (!install_started.load()) OnInstallClicked();
        return true;
      }
      if (id == IDC_LICENSE_LINK || id == IDC_PRIVACY_LINK) {
        OnLinkClicked(id);
        return true;
      }
      if (id >= IDC_MAKE_DEFAULT_BOX && id <= IDC_FLASH_BOX) {
        OnOptionClicked(id);
        return true;
      }
      return false;
    }
    case WM_INITDIALOG:
      // FALSE: the initialisation placed the focus itself.
      OnInitDialog();
      *result = FALSE;
      return true;
    case WM_DESTROY:
      annotations.ClearAll();
      return false;
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
  background.Draw(dc, 0, 0, client.right, client.bottom, kMainBackgroundOffset.x, kMainBackgroundOffset.y, client.right,
                  client.bottom);
  EndPaint(window_, &paint);
  if (!first_paint_seen) {
    first_paint_seen = true;
    Post(kStartStepMessage, 0, 0);
  }
}

LRESULT MainWindow::OnCustomDraw(const NMCUSTOMDRAW& notification, bool* handled) {
  const int id = static_cast<int>(notification.hdr.idFrom);
  if (id == IDC_INSTALL_BUTTON || id == IDC_CANCEL_BUTTON) {
    ImageButtonPainter* painter = id == IDC_INSTALL_BUTTON ? install_button.get() : cancel_button.get();
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
    case IDC_TITLE:
      font = title_font.Get();
      break;
    case IDC_TIME_LEFT:
      font = small_font.Get();
      color = kTimeLeftText;
      break;
    case IDC_LICENSE_LINK:
      font = link_font.Get();
      break;
    case IDC_PRIVACY_LINK:
      font = small_link_font.Get();
      color = kPrivacyText;
      break;
    case IDC_STATIC:
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

CheckboxPainter* MainWindow::BoxPainter(int id) {
  if (id == IDC_MAKE_DEFAULT_BOX) return make_default_box.get();
  if (id == IDC_FLASH_BOX) return flash_box.get();
  if (id == IDC_STATISTICS_BOX) return statistics_box.get();
  return nullptr;
}

}  // namespace lite_installer
