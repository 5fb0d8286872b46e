// A static control that acts as a link: the hand cursor over it; with the
// focus, Enter or Space clicks it (WM_COMMAND with its id and STN_CLICKED to
// its parent, as a mouse click on an SS_NOTIFY static does), and Enter never
// reaches the dialog's default button; a dotted focus rectangle drawn around
// it while it has the focus. Windows build only.
#ifndef UI_HAND_CURSOR_LINK_H_
#define UI_HAND_CURSOR_LINK_H_

#include <windows.h>

namespace lite_installer {

class HandCursorLink {
 public:
  HandCursorLink();
  ~HandCursorLink();
  HandCursorLink(const HandCursorLink&) = delete;
  HandCursorLink& operator=(const HandCursorLink&) = delete;

  // Replaces the control's window procedure until the control is destroyed.
  bool Subclass(HWND control);

  HCURSOR cursor;  // shared system cursor, not destroyed
  HWND window = nullptr;
  WNDPROC previous_procedure = nullptr;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Restore();
  // Repaints the parent's background under the control and the control, so
  // that the focus rectangle appears or goes (the static is transparent).
  void RedrawWithBackground();
  // Draws the dotted focus rectangle round the control's text.
  void DrawFocus();
};

}  // namespace lite_installer

#endif  // UI_HAND_CURSOR_LINK_H_
