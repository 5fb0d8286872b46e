#include "ui/shadow_window.h"

#include "ui/ui_environment.h"

namespace lite_installer {

namespace {

constexpr wchar_t kClassName[] = L"LiteInstallerShadow";
ATOM g_shadow_class = 0;

}  // namespace

ShadowWindow::~ShadowWindow() {
  if (window != nullptr && IsWindow(window)) DestroyWindow(window);
}

bool ShadowWindow::Create(HWND owner_window, const ResourceImage& source, const RECT& band) {
  owner = owner_window;
  image = source;
  margins = band;
  HINSTANCE instance = UiEnvironment::ModuleInstance();
  if (g_shadow_class == 0) {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = instance;
    window_class.lpszClassName = kClassName;
    g_shadow_class = RegisterClassExW(&window_class);
    if (g_shadow_class == 0) return false;
  }
  window = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT, kClassName, L"",
                           WS_POPUP | WS_CLIPSIBLINGS | WS_BORDER | WS_SYSMENU, 0, 0,
                           0, 0, owner, nullptr, instance, nullptr);
  if (window == nullptr) return false;
  Update();
  // Shown without taking the activation (and the focus) from its owner,
  // which may already be on the screen.
  ShowWindow(window, SW_SHOWNOACTIVATE);
  return true;
}

void ShadowWindow::Update() {
  if (window == nullptr || owner == nullptr) return;
  RECT o;
  if (!GetWindowRect(owner, &o)) return;
  const RECT s = {o.left - margins.left, o.top - margins.top, o.right + margins.right,
                  o.bottom + margins.bottom};
  const int w = s.right - s.left;
  const int h = s.bottom - s.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  if (memory == nullptr || GetDeviceCaps(memory, BITSPIXEL) < 32) {
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return;
  }
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ previous = SelectObject(memory, bitmap);

  // The four corners of the image rebuild its shadow band around any window
  // that is not larger than the image.
  const SIZE size = image.LogicalSize();
  const int l = w / 2;
  const int r = w - l;
  const int t = h / 2;
  const int b = h - t;
  image.Draw(memory, 0, 0, l, t, 0, 0, l, t);
  image.Draw(memory, l, 0, r, t, size.cx - r, 0, r, t);
  image.Draw(memory, 0, t, l, b, 0, size.cy - b, l, b);
  image.Draw(memory, l, t, r, b, size.cx - r, size.cy - b, r, b);
  // The part under the owner is cleared to fully transparent pixels.
  BitBlt(memory, margins.left, margins.top, o.right - o.left, o.bottom - o.top, memory,
         margins.left, margins.top, SRCERASE);
  // The memory context keeps its left-to-right layout: the shadow bands are
  // symmetric, so a mirrored transfer would look the same, and on Wine a
  // right-to-left source context leaves the layered window empty.

  POINT position = {s.left, s.top};
  SIZE layer = {w, h};
  POINT origin = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(window, screen, &position, &layer, memory, &origin, 0, &blend, ULW_ALPHA);

  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

}  // namespace lite_installer
