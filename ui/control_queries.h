// The two questions the dialogs and painters ask of a control: its id and its
// text. Windows build only.
#ifndef UI_CONTROL_QUERIES_H_
#define UI_CONTROL_QUERIES_H_

#include <windows.h>

#include <string>

namespace lite_installer {

// The control's id as the dialog template gives it: a 16-bit signed value, so
// that the id -1 of plain statics reads as -1.
int ControlId(HWND control);

// The window's text; empty when it has none or cannot be read.
std::wstring WindowText(HWND window);

}  // namespace lite_installer

#endif  // UI_CONTROL_QUERIES_H_
