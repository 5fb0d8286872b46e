// The installer window's observer operations, called on the controller's
// worker thread. Each one only writes an atomic flag or posts a private
// message to the window, so every control is touched on the window thread;
// once the window is gone (`notify_window` cleared) the posts go nowhere.
#include "ui/main_window.h"

namespace lite_installer {

void MainWindow::Post(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND target = notify_window.load();
  if (target != nullptr) PostMessageW(target, message, wparam, lparam);
}

void MainWindow::OnSlowDownload() { show_time_left.store(true); }

void MainWindow::OnTimeLeft(int seconds, int state) {
  Post(kTimeLeftMessage, static_cast<WPARAM>(static_cast<uint32_t>(seconds)), static_cast<LPARAM>(state));
}

void MainWindow::OnFinished() {
  if (install_started.load()) Post(kFinishedMessage, 0, 0);
}

void MainWindow::OnError(int result) {
  pending_error.store(result);
  if (install_started.load()) Post(kErrorMessage, 0, 0);
}

intptr_t MainWindow::GetWindowHandle() {
  return reinterpret_cast<intptr_t>(notify_window.load());
}

void MainWindow::SetProgress(int percent) { Post(kSetProgressMessage, static_cast<WPARAM>(percent), 0); }

}  // namespace lite_installer
