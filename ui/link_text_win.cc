#include "ui/link_text.h"

#include "ui/ui_environment.h"

namespace lite_installer {

int DcTextMeasurer::Width(const std::wstring& text) {
  SIZE size = {0, 0};
  if (!text.empty()) GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

std::vector<HWND> CreateLinkText(HWND window, const std::wstring& text, HFONT font, POINT origin,
                                 int line_height, int max_width) {
  HDC dc = GetDC(window);
  HGDIOBJ previous = SelectObject(dc, font);
  DcTextMeasurer measurer(dc);
  const std::vector<LinkTextPiece> pieces =
      LayoutLinkText(TokenizeLinkText(text), measurer, max_width);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);

  std::vector<HWND> controls;
  HINSTANCE instance = UiEnvironment::ModuleInstance();
  for (const LinkTextPiece& piece : pieces) {
    const DWORD style = piece.is_link
                            ? WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | SS_NOTIFY | SS_LEFTNOWORDWRAP
                            : WS_CHILD | WS_VISIBLE;
    const INT_PTR id = piece.is_link ? IDC_LICENSE_LINK : IDC_STATIC;
    HWND control = CreateWindowExW(0, L"Static", piece.text.c_str(), style,
                                   origin.x + piece.x, origin.y + piece.line * line_height,
                                   piece.width, line_height, window,
                                   reinterpret_cast<HMENU>(id), instance, nullptr);
    if (control != nullptr) controls.push_back(control);
  }
  return controls;
}

}  // namespace lite_installer
