#include "ui/checkbox_painter.h"

#include <uxtheme.h>

#include <string>

#include "base/system_library.h"
#include "resources/resource_ids.h"
#include "ui/child_controls.h"
#include "ui/image_button_painter.h"
#include "ui/layout_math.h"

namespace lite_installer {

namespace {

// The focus rectangle's distance from the text it surrounds, in pixels.
constexpr int kFocusMarginPx = 1;

// Whether visual styles are on, from System32's uxtheme; without it the
// classic look is the safe answer.
bool AppIsThemed() {
  const SystemLibrary uxtheme(L"uxtheme.dll");
  auto* is_app_themed = uxtheme.Lookup<decltype(IsAppThemed)>("IsAppThemed");
  return is_app_themed != nullptr && is_app_themed() != FALSE;
}

}  // namespace

CheckboxPainter::CheckboxPainter(HWND window, HFONT font, bool initially_checked, const ResourceImage& background,
                                 const ResourceImage* decoded_strip)
    : font(font),
      window(window),
      background(background),
      checked(initially_checked),
      unthemed(!AppIsThemed()) {
  if (decoded_strip != nullptr && !decoded_strip->IsEmpty()) {
    strip = *decoded_strip;
  } else {
    strip.Load(IDR_IMAGE_CHECKBOX);
  }
  const SIZE size = strip.LogicalSize();
  box_width = size.cx / 6;
  box_height = size.cy;
  if (initially_checked) SendMessageW(window, BM_SETCHECK, BST_CHECKED, 0);
  if (unthemed) {
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    SetWindowLongW(window, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
  }
}

bool CheckboxPainter::IsChecked() const {
  if (unthemed) return checked;
  return SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckboxPainter::Toggle() {
  if (unthemed) checked = !checked;
}

void CheckboxPainter::Draw(HDC dc, int index, bool show_mnemonics, bool focused, const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  HDC surface = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
  if (surface == nullptr || bitmap == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (surface != nullptr) DeleteDC(surface);
    return;
  }
  HGDIOBJ previous_bitmap = SelectObject(surface, bitmap);
  // Origin moved so that rect's coordinates are used unchanged.
  SetViewportOrgEx(surface, -rect.left, -rect.top, nullptr);

  DrawParentBackground(window, surface, rect, background, background_offset);
  strip.Draw(surface, rect.left, rect.top, box_width, box_height, index * box_width, 0, box_width,
             box_height);

  const std::wstring text = WindowText(window);
  if (!text.empty()) {
    RECT text_rect = rect;
    text_rect.left += box_width + kCheckboxTextGap;
    HGDIOBJ previous_font = SelectObject(surface, font);
    SetBkMode(surface, TRANSPARENT);
    SetTextColor(surface, text_color);
    const UINT prefix = show_mnemonics ? 0 : DT_HIDEPREFIX;
    RECT measured = text_rect;
    DrawTextW(surface, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_CALCRECT | DT_SINGLELINE | prefix);
    text_rect.top += CenteringOffset(box_height, measured.bottom - measured.top);
    if (focused) {
      // The focus goes round the text as it is drawn (wrapped), one pixel
      // out, inside the control.
      RECT focus = text_rect;
      DrawTextW(surface, text.c_str(), static_cast<int>(text.size()), &focus,
                DT_CALCRECT | kCheckboxTextFormat | prefix);
      InflateRect(&focus, kFocusMarginPx, kFocusMarginPx);
      IntersectRect(&focus, &focus, &rect);
      DrawFocusRect(surface, &focus);
    }
    DrawTextW(surface, text.c_str(), static_cast<int>(text.size()), &text_rect,
              kCheckboxTextFormat | prefix);
    SelectObject(surface, previous_font);
  }
  BitBlt(dc, rect.left, rect.top, width, height, surface, rect.left, rect.top, SRCCOPY);
  SelectObject(surface, previous_bitmap);
  DeleteObject(bitmap);
  DeleteDC(surface);
}

LRESULT CheckboxPainter::OnCustomDraw(const NMCUSTOMDRAW& notification) {
  if (notification.dwDrawStage != CDDS_PREERASE) return CDRF_DODEFAULT;
  if (!IsWindow(window)) return CDRF_DODEFAULT;
  const int index = CheckboxFrameIndex((notification.uItemState & CDIS_SELECTED) != 0,
                                       (notification.uItemState & CDIS_HOT) != 0, IsChecked());
  Draw(notification.hdc, index, (notification.uItemState & CDIS_SHOWKEYBOARDCUES) != 0,
       (notification.uItemState & CDIS_FOCUS) != 0 || GetFocus() == window, notification.rc);
  return CDRF_SKIPDEFAULT;
}

void CheckboxPainter::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const int index = CheckboxFrameIndex((item.itemState & ODS_SELECTED) != 0,
                                       (item.itemState & ODS_HOTLIGHT) != 0, IsChecked());
  Draw(item.hDC, index, false, (item.itemState & ODS_FOCUS) != 0 || GetFocus() == window, item.rcItem);
}

int CheckboxPainter::MeasureHeight(const RECT& reference_rect) {
  const std::wstring text = WindowText(window);
  if (text.empty()) return box_height;
  RECT rect = reference_rect;
  rect.left += box_width + kCheckboxTextGap;
  HDC dc = GetDC(window);
  HGDIOBJ previous_font = SelectObject(dc, font);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | kCheckboxTextFormat);
  SelectObject(dc, previous_font);
  ReleaseDC(window, dc);
  const int height = rect.bottom - rect.top;
  return height > box_height ? height : box_height;
}

}  // namespace lite_installer
