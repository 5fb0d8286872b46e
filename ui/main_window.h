// The installer's window on the windowed road: a welcome screen with the
// options and the install button, then a narrow progress screen. It owns the
// run's controller, starts its worker at once (the package downloads while
// the welcome screen shows), acts as its observer and gives the install
// signal on the install click. The setup program moves its progress bar
// through four registered messages. Windows build only.
//
// Threads: the dialog runs on the main thread; the controller's worker calls
// the observer operations. Every one of them only posts a message to the
// window or writes an atomic flag, so the controls are touched on the window
// thread alone, and a worker that outlives the dialog posts to nowhere.
#ifndef UI_MAIN_WINDOW_H_
#define UI_MAIN_WINDOW_H_

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "install/installer.h"
#include "install/installer_factory.h"
#include "install/installer_observer.h"
#include "resources/resource_ids.h"
#include "ui/accessible_annotations.h"
#include "ui/checkbox_painter.h"
#include "ui/dialog_base.h"
#include "ui/fonts.h"
#include "ui/hand_cursor_link.h"
#include "ui/image_button_painter.h"
#include "ui/image_progress_bar.h"
#include "ui/resource_image.h"
#include "ui/shadow_window.h"

struct ITaskbarList3;

namespace lite_installer {

// The command the dialog manager sends for the Escape key. The window's
// template and control ids are in resources/resource_ids.h.
constexpr int kEscapeCommandId = IDCANCEL;

// From this Windows version class on (Windows 10) the make-default option is
// hidden and its state is not handed to the controller.
constexpr int kHideMakeDefaultFromOsClass = 7;

// Private messages the window posts to itself. 2 and 3 carry progress and
// time-left values; 4 and 5 bring the controller's "finished" and "error"
// notices from the worker to the window thread.
constexpr UINT kSetProgressMessage = WM_APP + 2;
constexpr UINT kTimeLeftMessage = WM_APP + 3;
constexpr UINT kFinishedMessage = WM_APP + 4;
constexpr UINT kErrorMessage = WM_APP + 5;
// Posted after the first paint, once per step of the start that the first
// screen does not need (MainWindow::RunNextStartStep).
constexpr UINT kStartStepMessage = WM_APP + 6;
// Should the window not be painted within this time, the rest of the start
// runs all the same.
constexpr UINT_PTR kStartTimerId = 1;
constexpr UINT kStartFallbackMs = 1000;

// Dialog results: the run is over; closed by the system close command; the
// cancel button (its id).
constexpr INT_PTR kResultRunOver = 1;
constexpr INT_PTR kResultSystemClose = 2;
constexpr INT_PTR kResultCancel = IDC_CANCEL_BUTTON;

// Lets `message` pass the user-interface privilege isolation so that a setup
// running with other rights reaches `window`: ChangeWindowMessageFilterEx
// from Windows 7 on, ChangeWindowMessageFilter on Vista, nothing before.
// Both are looked up at run time; false when the call failed.
bool AllowMessageThroughFilter(HWND window, UINT message);

class MainWindow : public DialogBase, public InstallerObserver {
 public:
  // Registers the four setup messages and makes the controller with
  // `make_installer` and this window as its observer. Its worker thread
  // starts once the window has been painted first (the package then
  // downloads behind the welcome screen), or when the user acts earlier.
  MainWindow(BrandPackageInfo& brand, DistribInfoParams& distrib_params,
             InstallerFactory make_installer = MakeInstaller);
  // Stops the controller (waiting for its worker) before anything the
  // observer operations use goes away.
  ~MainWindow() override;

  // Runs the dialog from template IDD_MAIN_WINDOW; the dialog result (see
  // above), or -1 when it cannot be shown.
  INT_PTR DoModal(HWND owner);

  // InstallerObserver, called from the worker thread.
  void OnSlowDownload() override;
  void OnTimeLeft(int seconds, int state) override;
  void OnFinished() override;
  void OnError(int result) override;
  intptr_t GetWindowHandle() override;
  void SetProgress(int percent) override;

  // Handlers of the setup's registered messages (window thread).
  void OnInstallProgress(int32_t stage);
  void OnImportProgress(int32_t percent, int32_t stage);
  void OnCloseWindow();
  void OnHigherVersionExist();

  // Fields, in this order: members below `installer` are destroyed before it.
  BrandPackageInfo& brand;
  DistribInfoParams& distrib_params;
  ScopedFont title_font;
  ScopedFont small_font;
  ScopedFont small_link_font;
  ScopedFont link_font;
  ScopedFont text_font;
  std::unique_ptr<ImageProgressBar> progress_bar;
  // The window the worker's notices go to; set at initialisation and
  // cleared when the window goes away.
  std::atomic<HWND> notify_window{nullptr};
  std::unique_ptr<Installer> owned_installer;
  Installer& installer;  // *owned_installer
  ResourceImage background;
  std::unique_ptr<ImageButtonPainter> install_button;
  std::unique_ptr<ImageButtonPainter> cancel_button;
  ShadowWindow shadow;
  HandCursorLink license_link_cursor;
  HandCursorLink privacy_link_cursor;
  AccessibleAnnotations annotations;
  ITaskbarList3* taskbar = nullptr;
  std::unique_ptr<CheckboxPainter> make_default_box;
  std::unique_ptr<CheckboxPainter> flash_box;
  std::unique_ptr<CheckboxPainter> statistics_box;
  UINT import_progress_message = 0;
  UINT close_window_message = 0;
  UINT install_progress_message = 0;
  UINT higher_version_message = 0;
  // The three values shared with the worker thread.
  std::atomic<bool> show_time_left{false};
  std::atomic<int> pending_error{0};
  std::atomic<bool> install_started{false};
  // Window thread only: the error dialog or the newer-version notice is
  // shown; the window ends when it closes, and nothing else ends it first.
  bool closing = false;
  // Window thread only: the window was painted once; how many steps of the
  // start after the first paint have run.
  bool first_paint_seen = false;
  int start_steps_done = 0;

 protected:
  bool ProcessMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

 private:
  void OnInitDialog();
  // The start's steps that the first screen does not need, one per call, in
  // this order: the taskbar icons and the drop shadow, the progress screen's
  // images, the
  // screen-reader annotations, the controller's worker (which first queues
  // the launch counter). False once none is left.
  bool RunNextStartStep();
  // Runs every step not yet run; called before anything the user or the
  // setup asks of the window.
  void CompleteStart();
  void AnnotateForScreenReaders();
  void LayoutWelcomeScreen();
  void OnPaint();
  LRESULT OnCustomDraw(const NMCUSTOMDRAW& notification, bool* handled);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  void OnInstallClicked();
  void OnCancelClicked(int id);
  void OnLinkClicked(int id);
  void OnOptionClicked(int id);
  void ShowErrorAndEnd();
  void StopController();
  void SetProgressPosition(int position);
  void UpdateTimeLeftLine(uint32_t seconds, int kind);
  void CreateTaskbarProgress();
  void SwitchToProgressScreen();
  CheckboxPainter* BoxPainter(int id);
  void Post(UINT message, WPARAM wparam, LPARAM lparam);
};

}  // namespace lite_installer

#endif  // UI_MAIN_WINDOW_H_
