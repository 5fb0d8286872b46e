#include "ui/child_controls.h"

namespace lite_installer {

int ControlId(HWND control) { return static_cast<int>(static_cast<short>(GetDlgCtrlID(control))); }

HWND FirstChildWithId(HWND window, int id) {
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ControlId(child) == id) return child;
  }
  return nullptr;
}

void PlaceControl(HWND control, const LayoutRect& rect) {
  SetWindowPos(control, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace lite_installer
