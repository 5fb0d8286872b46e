// Draws a checkbox from the six-frame strip IDR_IMAGE_CHECKBOX over its parent's
// background: through NM_CUSTOMDRAW when visual themes are on, through
// BS_OWNERDRAW and WM_DRAWITEM when they are off (then the painter keeps the
// check state itself). Windows build only.
#ifndef UI_CHECKBOX_PAINTER_H_
#define UI_CHECKBOX_PAINTER_H_

#include <windows.h>
#include <commctrl.h>

#include "ui/resource_image.h"

namespace lite_installer {

// The text starts this many pixels right of the box and is drawn
// word-wrapped.
constexpr int kCheckboxTextGap = 8;
constexpr UINT kCheckboxTextFormat = DT_WORDBREAK;

class CheckboxPainter {
 public:
  // `decoded_strip`, when given and not empty, is the strip another painter
  // decoded, shared instead of decoded again.
  CheckboxPainter(HWND window, HFONT font, bool initially_checked, const ResourceImage& background,
                  const ResourceImage* decoded_strip = nullptr);

  // The painter's own state when unthemed, else the control's check state.
  bool IsChecked() const;
  // Inverts the painter's own state; does nothing on themed systems, where
  // the control toggles itself.
  void Toggle();

  // Draws frame `index` and the text into `rect` through an off-screen
  // surface; with `focused`, a dotted focus rectangle around the text.
  void Draw(HDC dc, int index, bool show_mnemonics, bool focused, const RECT& rect);
  LRESULT OnCustomDraw(const NMCUSTOMDRAW& notification);
  void OnDrawItem(const DRAWITEMSTRUCT& item);

  // Height of the word-wrapped text beside the box in `reference_rect`, at
  // least the box height.
  int MeasureHeight(const RECT& reference_rect);

  COLORREF text_color = RGB(0x66, 0x66, 0x66);
  HFONT font;  // not owned
  HWND window;
  ResourceImage strip;
  ResourceImage background;
  POINT background_offset = {21, 21};
  bool checked;
  bool unthemed;
  int box_width = 0;
  int box_height = 0;
};

}  // namespace lite_installer

#endif  // UI_CHECKBOX_PAINTER_H_
