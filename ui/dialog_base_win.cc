#include "ui/dialog_base.h"

#include "ui/ui_environment.h"

namespace lite_installer {

INT_PTR DialogBase::RunModal(int template_id, HWND owner) {
  return DialogBoxParamW(UiEnvironment::ModuleInstance(), MAKEINTRESOURCEW(template_id), owner,
                         &StaticProcedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR DialogBase::DialogProcedure(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  if (!ProcessMessage(message, wparam, lparam, &result)) return FALSE;
  switch (message) {
    // These messages return their answer directly from the dialog procedure.
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return static_cast<INT_PTR>(result);
    default:
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

INT_PTR CALLBACK DialogBase::StaticProcedure(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  DialogBase* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<DialogBase*>(lparam);
    if (self == nullptr) return FALSE;
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) return FALSE;
  }
  const INT_PTR answer = self->DialogProcedure(message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->window_ = nullptr;
    self->OnFinalMessage();
  }
  return answer;
}

}  // namespace lite_installer
