#include "ui/image_button_painter.h"

#include <string>

#include "ui/child_controls.h"

namespace lite_installer {

namespace {

// The focus rectangle's distance inside the button's frame, in pixels.
constexpr int kFocusInsetPx = 4;

}  // namespace

void DrawParentBackground(HWND control, HDC dc, const RECT& item, const ResourceImage& background,
                          POINT background_offset) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  background.Draw(dc, item.left, item.top, item.right - item.left, item.bottom - item.top,
                  background_offset.x + r.left, background_offset.y + r.top,
                  item.right - item.left, item.bottom - item.top);
}

ImageButtonPainter::ImageButtonPainter(HWND window, int strip_id, COLORREF text_color, HFONT font,
                                       const ResourceImage& background, POINT background_offset)
    : window(window),
      text_color(text_color),
      font(font),
      background(background),
      background_offset(background_offset) {
  strip.Load(strip_id);
}

SIZE ImageButtonPainter::ButtonSize() const {
  SIZE size = strip.LogicalSize();
  size.cx /= 3;
  return size;
}

LRESULT ImageButtonPainter::OnCustomDraw(const NMCUSTOMDRAW& notification) {
  if (notification.dwDrawStage != CDDS_PREERASE) return CDRF_SKIPDEFAULT;
  HDC dc = notification.hdc;
  const RECT& item = notification.rc;
  DrawParentBackground(window, dc, item, background, background_offset);

  const bool selected = (notification.uItemState & CDIS_SELECTED) != 0;
  const bool hot = (notification.uItemState & CDIS_HOT) != 0;
  const int index = selected ? 2 : (hot ? 1 : 0);
  const SIZE frame = ButtonSize();
  strip.Draw(dc, item.left, item.top, frame.cx, frame.cy, index * frame.cx, 0, frame.cx, frame.cy);

  const std::wstring text = WindowText(window);
  if (!text.empty()) {
    RECT text_rect = {item.left + text_insets.left, item.top + text_insets.top,
                      item.right - text_insets.right, item.bottom - text_insets.bottom};
    if (selected) OffsetRect(&text_rect, pressed_offset.x, pressed_offset.y);
    HGDIOBJ previous_font = SelectObject(dc, font);
    const int previous_mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previous_color = SetTextColor(dc, text_color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_rect, kButtonTextFormat);
    SetTextColor(dc, previous_color);
    SetBkMode(dc, previous_mode);
    SelectObject(dc, previous_font);
  }
  if ((notification.uItemState & CDIS_FOCUS) != 0 || GetFocus() == window) {
    RECT focus = {item.left, item.top, item.left + frame.cx, item.top + frame.cy};
    InflateRect(&focus, -kFocusInsetPx, -kFocusInsetPx);
    DrawFocusRect(dc, &focus);
  }
  return CDRF_SKIPDEFAULT;
}

}  // namespace lite_installer
