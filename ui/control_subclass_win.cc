#include "ui/control_subclass.h"

namespace lite_installer {

WNDPROC SubclassControl(HWND control, const wchar_t* property, void* owner, WNDPROC procedure) {
  SetPropW(control, property, owner);
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

void RestoreControlProcedure(HWND control, const wchar_t* property, WNDPROC previous) {
  if (!IsWindow(control) || previous == nullptr) return;
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  RemovePropW(control, property);
}

}  // namespace lite_installer
