// Places a window in the middle of its parent, owner or work area.
// Windows build only.
#ifndef UI_CENTER_WINDOW_H_
#define UI_CENTER_WINDOW_H_

#include <windows.h>

namespace lite_installer {

// A child window is centred in its parent's client area; a top-level window
// on its visible, non-minimized owner or else on the work area of the
// nearest monitor, and kept inside that work area. Not activated or
// reordered; resized only to `new_size` when one is given, in the same move
// (a top-level window is then reconfigured once, not twice).
void CenterWindow(HWND window, const SIZE* new_size = nullptr);

}  // namespace lite_installer

#endif  // UI_CENTER_WINDOW_H_
