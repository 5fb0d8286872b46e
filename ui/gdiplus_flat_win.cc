#include "ui/gdiplus_flat.h"

#include <objidl.h>
#include <gdiplus.h>

#include "base/system_library.h"

namespace lite_installer {
namespace gdiplus {

namespace {

// gdiplus.dll, loaded from System32 by Startup and kept until Shutdown.
// Only the UI thread starts, uses and shuts down GDI+.
HMODULE g_gdiplus = nullptr;
// The codec DLLs that image decoding (GDI+'s and the icon loader's) may load
// by bare name: loaded from System32 first and kept as long as GDI+, so a
// later load by name finds these, never a copy in the program's folder.
const wchar_t* const kCodecLibraries[] = {L"windowscodecs.dll", L"propsys.dll"};
HMODULE g_codecs[sizeof(kCodecLibraries) / sizeof(kCodecLibraries[0])] = {};

template <typename Function>
Function* Export(const char* name) {
  return LookupExport<Function>(g_gdiplus, name);
}

}  // namespace

bool Startup(ULONG_PTR* token) {
  *token = 0;
  for (size_t i = 0; i < sizeof(g_codecs) / sizeof(g_codecs[0]); ++i) {
    if (g_codecs[i] == nullptr) g_codecs[i] = LoadSystemLibrary(kCodecLibraries[i]);
  }
  if (g_gdiplus == nullptr) g_gdiplus = LoadSystemLibrary(L"gdiplus.dll");
  auto* startup = Export<decltype(Gdiplus::GdiplusStartup)>("GdiplusStartup");
  if (startup == nullptr) return false;
  Gdiplus::GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  input.DebugEventCallback = nullptr;
  input.SuppressBackgroundThread = FALSE;
  input.SuppressExternalCodecs = FALSE;
  return startup(token, &input, nullptr) == Gdiplus::Ok;
}

void Shutdown(ULONG_PTR token) {
  auto* shutdown = Export<decltype(Gdiplus::GdiplusShutdown)>("GdiplusShutdown");
  if (token != 0 && shutdown != nullptr) shutdown(token);
  if (g_gdiplus != nullptr) FreeLibrary(g_gdiplus);
  g_gdiplus = nullptr;
  for (HMODULE& codec : g_codecs) {
    if (codec != nullptr) FreeLibrary(codec);
    codec = nullptr;
  }
}

HBITMAP DecodeToBitmap(IStream* stream) {
  auto* from_stream = Export<decltype(Gdiplus::DllExports::GdipCreateBitmapFromStreamICM)>(
      "GdipCreateBitmapFromStreamICM");
  auto* to_hbitmap =
      Export<decltype(Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap)>("GdipCreateHBITMAPFromBitmap");
  auto* dispose = Export<decltype(Gdiplus::DllExports::GdipDisposeImage)>("GdipDisposeImage");
  if (from_stream == nullptr || to_hbitmap == nullptr || dispose == nullptr) return nullptr;
  Gdiplus::GpBitmap* image = nullptr;
  if (from_stream(stream, &image) != Gdiplus::Ok || image == nullptr) return nullptr;
  HBITMAP bitmap = nullptr;
  if (to_hbitmap(image, &bitmap, 0) != Gdiplus::Ok) bitmap = nullptr;
  dispose(image);
  return bitmap;
}

}  // namespace gdiplus
}  // namespace lite_installer
