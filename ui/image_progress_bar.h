// A standard progress control painted from two images: the fill image's left
// part is revealed over the track image as the position grows; the control's
// own colours and frame are never drawn. Windows build only.
#ifndef UI_IMAGE_PROGRESS_BAR_H_
#define UI_IMAGE_PROGRESS_BAR_H_

#include <windows.h>

#include "ui/resource_image.h"

namespace lite_installer {

class ImageProgressBar {
 public:
  ImageProgressBar(int fill_id, int track_id);
  ~ImageProgressBar();
  ImageProgressBar(const ImageProgressBar&) = delete;
  ImageProgressBar& operator=(const ImageProgressBar&) = delete;

  // Replaces the control's window procedure; the previous one comes back
  // when the control is destroyed (or this object is).
  bool Subclass(HWND control);

  HWND window = nullptr;
  ResourceImage fill;
  ResourceImage track;
  WNDPROC previous_procedure = nullptr;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Paint();
  void Restore();
};

}  // namespace lite_installer

#endif  // UI_IMAGE_PROGRESS_BAR_H_
