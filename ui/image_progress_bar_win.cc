#include "ui/image_progress_bar.h"

#include <commctrl.h>

#include "ui/control_subclass.h"
#include "ui/layout_math.h"

namespace lite_installer {

namespace {
constexpr wchar_t kProperty[] = L"LiteImageProgressBar";
}  // namespace

ImageProgressBar::ImageProgressBar(int fill_id, int track_id) {
  fill.Load(fill_id);
  track.Load(track_id);
}

ImageProgressBar::~ImageProgressBar() { Restore(); }

bool ImageProgressBar::Subclass(HWND control) {
  if (control == nullptr || window != nullptr) return false;
  window = control;
  previous_procedure = SubclassControl(control, kProperty, this, &Procedure);
  return previous_procedure != nullptr;
}

void ImageProgressBar::Restore() {
  if (window == nullptr) return;
  RestoreControlProcedure(window, kProperty, previous_procedure);
  window = nullptr;
}

void ImageProgressBar::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  PBRANGE range = {};
  SendMessageW(window, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const int position = static_cast<int>(SendMessageW(window, PBM_GETPOS, 0, 0));
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  const int filled = ProgressFillWidth(range.iLow, range.iHigh, position, width);
  if (filled != 0) {
    fill.Draw(dc, client.left, client.top, filled, height, client.left, client.top, filled, height);
  }
  if (client.left + filled != client.right) {
    track.Draw(dc, client.left + filled, client.top, width - filled, height, client.left + filled,
               client.top, width - filled, height);
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK ImageProgressBar::Procedure(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  auto* self = static_cast<ImageProgressBar*>(GetPropW(window, kProperty));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  WNDPROC previous = self->previous_procedure;
  switch (message) {
    case WM_PAINT:
      self->Paint();
      return 0;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case PBM_SETBARCOLOR:
    case PBM_SETBKCOLOR:
      return 0;
    case WM_NCDESTROY:
      self->Restore();
      break;
    default:
      break;
  }
  return CallWindowProcW(previous, window, message, wparam, lparam);
}

}  // namespace lite_installer
