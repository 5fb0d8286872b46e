#include "ui/center_window.h"

#include "ui/layout_math.h"

namespace lite_installer {

namespace {

LayoutRect ToLayout(const RECT& r) { return LayoutRect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

void CenterWindow(HWND window) {
  RECT own;
  if (!GetWindowRect(window, &own)) return;
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  int left = 0;
  int top = 0;
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  if ((style & WS_CHILD) != 0) {
    HWND parent = GetParent(window);
    RECT client;
    if (parent == nullptr || !GetClientRect(parent, &client)) return;
    CenteredOrigin(ToLayout(client), ToLayout(client), width, height, &left, &top);
  } else {
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner != nullptr && (!IsWindowVisible(owner) || IsIconic(owner))) owner = nullptr;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : window,
                                           MONITOR_DEFAULTTONEAREST),
                         &monitor)) {
      return;
    }
    RECT reference = monitor.rcWork;
    if (owner != nullptr) GetWindowRect(owner, &reference);
    CenteredOrigin(ToLayout(reference), ToLayout(monitor.rcWork), width, height, &left, &top);
  }
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
}

}  // namespace lite_installer
