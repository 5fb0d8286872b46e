// The few GDI+ entry points the installer uses, kept behind plain functions so
// that only one file includes the GDI+ headers. Windows build only.
#ifndef UI_GDIPLUS_FLAT_H_
#define UI_GDIPLUS_FLAT_H_

#include <windows.h>
#include <objidl.h>

namespace lite_installer {
namespace gdiplus {

// GdiplusStartup with version 1, no debug callback, background thread and
// external codecs not suppressed. True on success.
bool Startup(ULONG_PTR* token);
void Shutdown(ULONG_PTR token);

// Decodes a PNG or BMP stream into a 32-bit bitmap handle with premultiplied
// alpha over a fully transparent background; null on failure. The caller
// owns the handle.
HBITMAP DecodeToBitmap(IStream* stream);

}  // namespace gdiplus
}  // namespace lite_installer

#endif  // UI_GDIPLUS_FLAT_H_
