#include "ui/hand_cursor_link.h"

#include "ui/control_subclass.h"

namespace lite_installer {

namespace {
constexpr wchar_t kProperty[] = L"LiteHandCursorLink";
}  // namespace

HandCursorLink::HandCursorLink() : cursor(LoadCursorW(nullptr, IDC_HAND)) {}

HandCursorLink::~HandCursorLink() { Restore(); }

bool HandCursorLink::Subclass(HWND control) {
  if (control == nullptr || window != nullptr) return false;
  window = control;
  previous_procedure = SubclassControl(control, kProperty, this, &Procedure);
  return previous_procedure != nullptr;
}

void HandCursorLink::Restore() {
  if (window == nullptr) return;
  RestoreControlProcedure(window, kProperty, previous_procedure);
  window = nullptr;
}

LRESULT CALLBACK HandCursorLink::Procedure(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
  auto* self = static_cast<HandCursorLink*>(GetPropW(window, kProperty));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  WNDPROC previous = self->previous_procedure;
  if (message == WM_SETCURSOR) {
    SetCursor(self->cursor);
    return TRUE;
  }
  if (message == WM_NCDESTROY) self->Restore();
  return CallWindowProcW(previous, window, message, wparam, lparam);
}

}  // namespace lite_installer
