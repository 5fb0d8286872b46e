// Static controls that show a text with link markup ("((" ... "))") laid out
// in lines. Windows build only.
#ifndef UI_LINK_TEXT_H_
#define UI_LINK_TEXT_H_

#include <windows.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "ui/link_text_layout.h"

namespace lite_installer {

// Measures texts in the font selected into a device context.
class DcTextMeasurer : public TextMeasurer {
 public:
  explicit DcTextMeasurer(HDC dc) : dc_(dc) {}
  int Width(const std::wstring& text) override;

 private:
  HDC dc_;
};

// Creates one static control per piece inside `window`, measuring with
// `font`, starting at `origin`, one `line_height` per line and lines no wider
// than `max_width` where possible. Returns the created pieces in order. Link
// pieces get the id IDC_LICENSE_LINK, so a click is
// WM_COMMAND(IDC_LICENSE_LINK, 0); the others IDC_STATIC.
std::vector<HWND> CreateLinkText(HWND window, const std::wstring& text, HFONT font, POINT origin,
                                 int line_height, int max_width);

}  // namespace lite_installer

#endif  // UI_LINK_TEXT_H_
