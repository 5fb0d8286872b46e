// The window layer's dialog base: binds one object to one modal dialog. The
// object is handed to the dialog as the creation parameter and attached to
// the window on WM_INITDIALOG (DWLP_USER); messages that arrive before it go
// to the default handling. Windows build only.
#ifndef UI_DIALOG_BASE_H_
#define UI_DIALOG_BASE_H_

#include <windows.h>

namespace lite_installer {

class DialogBase {
 public:
  DialogBase() = default;
  virtual ~DialogBase() = default;
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  // Runs the dialog from template `template_id` of the program's module
  // modally; returns the EndDialog result, or -1 when it cannot be shown.
  INT_PTR RunModal(int template_id, HWND owner);

  HWND window() const { return window_; }

 protected:
  // Handles one message; true when handled, with `result` its result.
  virtual bool ProcessMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) = 0;
  // Translates a handled message's result into a dialog-procedure answer.
  virtual INT_PTR DialogProcedure(UINT message, WPARAM wparam, LPARAM lparam);
  // Called after the window received its last message.
  virtual void OnFinalMessage() {}

  HWND window_ = nullptr;

 private:
  static INT_PTR CALLBACK StaticProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};

}  // namespace lite_installer

#endif  // UI_DIALOG_BASE_H_
