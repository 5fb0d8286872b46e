#include "ui/hand_cursor_link.h"

#include <string>

#include "ui/child_controls.h"
#include "ui/control_subclass.h"

namespace lite_installer {

namespace {
constexpr wchar_t kProperty[] = L"LiteHandCursorLink";
// Room between the text and the focus rectangle's right and bottom edges, in
// pixels.
constexpr int kFocusMarginPx = 2;
}  // namespace

HandCursorLink::HandCursorLink() : cursor(LoadCursorW(nullptr, IDC_HAND)) {}

HandCursorLink::~HandCursorLink() { Restore(); }

bool HandCursorLink::Subclass(HWND control) {
  if (control == nullptr || window != nullptr) return false;
  window = control;
  previous_procedure = SubclassControl(control, kProperty, this, &Procedure);
  return previous_procedure != nullptr;
}

void HandCursorLink::Restore() {
  if (window == nullptr) return;
  RestoreControlProcedure(window, kProperty, previous_procedure);
  window = nullptr;
}

void HandCursorLink::DrawFocus() {
  RECT focus;
  GetClientRect(window, &focus);
  HDC dc = GetDC(window);
  if (dc == nullptr) return;
  // Round the text as the static draws it (from the top left, in its font),
  // within the control.
  HGDIOBJ previous_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
  const std::wstring text = WindowText(window);
  SIZE size = {0, 0};
  if (!text.empty() && GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) {
    if (size.cx + kFocusMarginPx < focus.right) focus.right = size.cx + kFocusMarginPx;
    if (size.cy + kFocusMarginPx < focus.bottom) focus.bottom = size.cy + kFocusMarginPx;
  }
  DrawFocusRect(dc, &focus);
  SelectObject(dc, previous_font);
  ReleaseDC(window, dc);
}

void HandCursorLink::RedrawWithBackground() {
  HWND parent = GetParent(window);
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK HandCursorLink::Procedure(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
  auto* self = static_cast<HandCursorLink*>(GetPropW(window, kProperty));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  WNDPROC previous = self->previous_procedure;
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(self->cursor);
      return TRUE;
    case WM_GETDLGCODE: {
      // Enter is the link's own key: the dialog manager passes it on instead
      // of pressing the default button.
      const auto* key = reinterpret_cast<const MSG*>(lparam);
      const LRESULT code = CallWindowProcW(previous, window, message, wparam, lparam);
      if (key != nullptr && (key->message == WM_KEYDOWN || key->message == WM_CHAR) && key->wParam == VK_RETURN) {
        return code | DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_KEYDOWN: {
      const bool first_press = (lparam & (1 << 30)) == 0;
      if (wparam == VK_RETURN || wparam == VK_SPACE) {
        if (first_press) {
          SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), STN_CLICKED),
                       reinterpret_cast<LPARAM>(window));
        }
        return 0;
      }
      break;
    }
    case WM_CHAR:
      if (wparam == L'\r' || wparam == L' ') return 0;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT answer = CallWindowProcW(previous, window, message, wparam, lparam);
      self->RedrawWithBackground();
      return answer;
    }
    case WM_PAINT: {
      const LRESULT answer = CallWindowProcW(previous, window, message, wparam, lparam);
      if (GetFocus() == window) self->DrawFocus();
      return answer;
    }
    case WM_NCDESTROY:
      self->Restore();
      break;
    default:
      break;
  }
  return CallWindowProcW(previous, window, message, wparam, lparam);
}

}  // namespace lite_installer
