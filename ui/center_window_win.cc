#include "ui/center_window.h"

#include "ui/layout_math.h"

namespace lite_installer {

namespace {

LayoutRect ToLayout(const RECT& r) { return LayoutRect{r.left, r.top, r.right, r.bottom}; }

// The centred origin of `window` at a size of width x height; false when the
// parent or the monitor cannot be read.
bool CenteredPlace(HWND window, int width, int height, int* left, int* top) {
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  if ((style & WS_CHILD) != 0) {
    HWND parent = GetParent(window);
    RECT client;
    if (parent == nullptr || !GetClientRect(parent, &client)) return false;
    CenteredOrigin(ToLayout(client), ToLayout(client), width, height, left, top);
    return true;
  }
  HWND owner = GetWindow(window, GW_OWNER);
  if (owner != nullptr && (!IsWindowVisible(owner) || IsIconic(owner))) owner = nullptr;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : window, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return false;
  }
  RECT reference = monitor.rcWork;
  if (owner != nullptr) GetWindowRect(owner, &reference);
  CenteredOrigin(ToLayout(reference), ToLayout(monitor.rcWork), width, height, left, top);
  return true;
}

}  // namespace

void CenterWindow(HWND window, const SIZE* new_size) {
  SIZE size = {0, 0};
  if (new_size != nullptr) {
    size = *new_size;
  } else {
    RECT own;
    if (!GetWindowRect(window, &own)) return;
    size = SIZE{own.right - own.left, own.bottom - own.top};
  }
  const UINT keep = SWP_NOACTIVATE | SWP_NOZORDER | (new_size != nullptr ? 0 : SWP_NOSIZE);
  int left = 0;
  int top = 0;
  if (!CenteredPlace(window, size.cx, size.cy, &left, &top)) {
    if (new_size != nullptr) SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, keep | SWP_NOMOVE);
    return;
  }
  SetWindowPos(window, nullptr, left, top, size.cx, size.cy, keep);
}

}  // namespace lite_installer
