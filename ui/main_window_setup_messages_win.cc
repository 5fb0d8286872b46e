// The installer window's handling of the setup program's registered
// messages: install stages and import progress, the close request (which
// stops the controller) and the newer-version notice; and the privilege
// filter that lets those messages reach the window.
#include "ui/main_window.h"

#include "brand/brand_package_info.h"
#include "base/log.h"
#include "base/log_tags.h"
#include "base/os_version.h"
#include "ui/message_dialog.h"
#include "ui/progress_protocol.h"

namespace lite_installer {

namespace {

constexpr DWORD kStopWaitMs = 10000;  // how long a close request waits for the worker

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

void MainWindow::OnInstallProgress(int32_t stage) {
  const int position = InstallStagePosition(stage);
  LogFormat(kInfo, log_tag::kMainWindowOnInstallProgress, __LINE__,
            L"--> Installer > MainWindow::OnInstallProgress: %d", position);
  if (position != 0) SetProgress(position);
  if (stage == 6) OnTimeLeft(180, kTimeLeftUpperBound);
}

void MainWindow::OnImportProgress(int32_t percent, int32_t stage) {
  LogFormat(kInfo, log_tag::kMainWindowOnImportProgress, __LINE__,
            L"--> Installer > MainWindow::OnImportProgress: %d", percent);
  SetProgress(ImportProgressPosition(percent));
  int seconds = 0;
  if (ImportStageTimeLeft(stage, &seconds)) OnTimeLeft(seconds, kTimeLeftUpperBound);
}

void MainWindow::OnCloseWindow() {
  Log(kInfo, log_tag::kMainWindowOnCloseWindow, __LINE__, L"--> Installer > MainWindow::OnCloseWindow");
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
    NoticeDialog notice(static_cast<int>(brand.language_id), IDS_NEWER_VERSION_TITLE, IDS_NEWER_VERSION_TEXT,
                        IDS_OK_BUTTON);
    notice.DoModal(GetActiveWindow());
  }
  EndDialog(window_, kResultRunOver);
}

}  // namespace lite_installer
