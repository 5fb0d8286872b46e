// A layered, click-through window behind a borderless dialog that shows the
// shadow band of the dialog's background image. Windows build only.
#ifndef UI_SHADOW_WINDOW_H_
#define UI_SHADOW_WINDOW_H_

#include <windows.h>

#include "ui/resource_image.h"

namespace lite_installer {

class ShadowWindow {
 public:
  ShadowWindow() = default;
  ~ShadowWindow();
  ShadowWindow(const ShadowWindow&) = delete;
  ShadowWindow& operator=(const ShadowWindow&) = delete;

  // Creates the window owned by `owner` and draws it. False when the window
  // cannot be created (the dialog then works without a shadow).
  bool Create(HWND owner, const ResourceImage& image, const RECT& margins);
  // Rebuilds the shadow around the owner's current rectangle. Nothing on
  // displays with fewer than 32 bits per pixel.
  void Update();

  HWND owner = nullptr;
  ResourceImage image;
  RECT margins = {0, 0, 0, 0};
  HWND window = nullptr;
};

}  // namespace lite_installer

#endif  // UI_SHADOW_WINDOW_H_
