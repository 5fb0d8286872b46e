#include "ui/child_controls.h"

namespace lite_installer {

int ControlId(HWND control) { return static_cast<int>(static_cast<short>(GetDlgCtrlID(control))); }

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

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
