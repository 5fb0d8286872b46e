// Draws a push button from a three-frame image strip (normal, hot, pressed)
// over its parent's background, through NM_CUSTOMDRAW. Windows build only.
#ifndef UI_IMAGE_BUTTON_PAINTER_H_
#define UI_IMAGE_BUTTON_PAINTER_H_

#include <windows.h>
#include <commctrl.h>

#include "ui/resource_image.h"

namespace lite_installer {

// How a button's text is drawn: one line, centred both ways.
constexpr UINT kButtonTextFormat = DT_SINGLELINE | DT_CENTER | DT_VCENTER;

class ImageButtonPainter {
 public:
  ImageButtonPainter(HWND window, int strip_id, COLORREF text_color, HFONT font,
                     const ResourceImage& background, POINT background_offset);

  // Size of one frame: (strip logical width / 3, strip logical height).
  SIZE ButtonSize() const;

  // Draws at the pre-erase stage and always skips the system's drawing; a
  // dotted focus rectangle inside the frame while the button has the focus.
  LRESULT OnCustomDraw(const NMCUSTOMDRAW& notification);

  HWND window;
  COLORREF text_color;
  HFONT font;  // not owned
  RECT text_insets = {0, 0, 0, 0};
  POINT pressed_offset = {0, 0};
  ResourceImage background;
  POINT background_offset;
  ResourceImage strip;
};

// Draws `background` behind a child control: the part of the parent's
// background under the control's rectangle `item` (control coordinates).
void DrawParentBackground(HWND control, HDC dc, const RECT& item, const ResourceImage& background,
                          POINT background_offset);

}  // namespace lite_installer

#endif  // UI_IMAGE_BUTTON_PAINTER_H_
