// Window-procedure subclassing of a single control, shared by the painters
// that take over a standard control. The owner object is found again through
// a window property. Windows build only.
#ifndef UI_CONTROL_SUBCLASS_H_
#define UI_CONTROL_SUBCLASS_H_

#include <windows.h>

namespace lite_installer {

// Records `owner` under `property` and installs `procedure` as the control's
// window procedure. Returns the previous procedure, or null on failure.
WNDPROC SubclassControl(HWND control, const wchar_t* property, void* owner, WNDPROC procedure);

// Puts `previous` back and removes the property, when the control still exists.
void RestoreControlProcedure(HWND control, const wchar_t* property, WNDPROC previous);

}  // namespace lite_installer

#endif  // UI_CONTROL_SUBCLASS_H_
