// Small helpers over a dialog's child controls: their ids, texts and
// places. Windows build only.
#ifndef UI_CHILD_CONTROLS_H_
#define UI_CHILD_CONTROLS_H_

#include <windows.h>

#include <string>

#include "ui/layout_math.h"

namespace lite_installer {

// The control's id as the signed value the dialog template gave it (-1 for
// the pieces of the licence sentence).
int ControlId(HWND control);

// The window's text; empty when it has none or cannot be read.
std::wstring WindowText(HWND window);

// The first child of `window` with `id`. GetDlgItem cannot find id -1
// reliably, since several controls share it.
HWND FirstChildWithId(HWND window, int id);

// Moves and sizes `control` to `rect` in its parent's client coordinates.
void PlaceControl(HWND control, const LayoutRect& rect);

inline RECT ToRect(const LayoutRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace lite_installer

#endif  // UI_CHILD_CONTROLS_H_
