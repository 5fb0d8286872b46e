#include "ui/gdiplus_flat.h"

#include <objidl.h>
#include <gdiplus.h>

namespace lite_installer {
namespace gdiplus {

bool Startup(ULONG_PTR* token) {
  Gdiplus::GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  input.DebugEventCallback = nullptr;
  input.SuppressBackgroundThread = FALSE;
  input.SuppressExternalCodecs = FALSE;
  return Gdiplus::GdiplusStartup(token, &input, nullptr) == Gdiplus::Ok;
}

void Shutdown(ULONG_PTR token) {
  if (token != 0) Gdiplus::GdiplusShutdown(token);
}

}  // namespace gdiplus
}  // namespace lite_installer

namespace lite_installer {
namespace gdiplus {

HBITMAP DecodeToBitmap(IStream* stream) {
  Gdiplus::GpBitmap* image = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromStreamICM(stream, &image) != Gdiplus::Ok ||
      image == nullptr) {
    return nullptr;
  }
  HBITMAP bitmap = nullptr;
  if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(image, &bitmap, 0) != Gdiplus::Ok) {
    bitmap = nullptr;
  }
  Gdiplus::DllExports::GdipDisposeImage(image);
  return bitmap;
}

}  // namespace gdiplus
}  // namespace lite_installer
