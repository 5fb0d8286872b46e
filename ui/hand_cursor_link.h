// A static control that shows the hand cursor. Windows build only.
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
};

}  // namespace lite_installer

#endif  // UI_HAND_CURSOR_LINK_H_
