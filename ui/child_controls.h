// Small helpers over a dialog's child controls. Windows build only.
#ifndef UI_CHILD_CONTROLS_H_
#define UI_CHILD_CONTROLS_H_

#include <windows.h>

#include "ui/layout_math.h"

namespace lite_installer {

// The control's id as the signed value the dialog template gave it (-1 for
// the pieces of the licence sentence).
int ControlId(HWND control);

// The first child of `window` with `id`. GetDlgItem cannot find id -1
// reliably, since several controls share it.
HWND FirstChildWithId(HWND window, int id);

// Moves and sizes `control` to `rect` in its parent's client coordinates.
void PlaceControl(HWND control, const LayoutRect& rect);

inline RECT ToRect(const LayoutRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace lite_installer

#endif  // UI_CHILD_CONTROLS_H_
