#include "ui/image_decoder.h"

#include <objbase.h>
#include <wincodec.h>

#include "base/system_library.h"
#include "base/unique_handle.h"

namespace lite_installer {
namespace image_decoder {

namespace {

// Owns one reference to a COM object.
struct ComReleaseTraits {
  using Handle = IUnknown*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { h->Release(); }
};

// The factory and the PNG decoder are made by their class ids: asking the
// factory to find a decoder for a stream would make it read every
// registered codec's description first, which costs more than the decoding
// of the installer's small images.
const CLSID kImagingFactoryClass = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const IID kImagingFactoryInterface = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
const CLSID kPngDecoderClass = {0x389ea17b, 0x5078, 0x4cde, {0xb6, 0xef, 0x25, 0xc1, 0x51, 0x75, 0xc7, 0x51}};
const IID kBitmapDecoderInterface = {0x9edde9e7, 0x8dee, 0x47ea, {0x99, 0xdf, 0xe6, 0xfa, 0xf2, 0xed, 0x44, 0xbf}};
const GUID kPremultipliedBgra32 = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x10}};

// The codec DLLs that decoding (ours and the icon loader's) may load by bare
// name: loaded from System32 first and kept as long as the decoder, so a
// later load by name finds these, never a copy in the program's folder.
const wchar_t* const kCodecLibraries[] = {L"windowscodecs.dll", L"propsys.dll"};
HMODULE g_codecs[sizeof(kCodecLibraries) / sizeof(kCodecLibraries[0])] = {};
IWICImagingFactory* g_factory = nullptr;

// Images larger than this are refused before any pixel memory is asked for.
constexpr UINT kMaxImageSidePixels = 4096;

}  // namespace

bool Startup() {
  for (size_t i = 0; i < sizeof(g_codecs) / sizeof(g_codecs[0]); ++i) {
    if (g_codecs[i] == nullptr) g_codecs[i] = LoadSystemLibrary(kCodecLibraries[i]);
  }
  if (g_factory != nullptr) return true;
  void* factory = nullptr;
  if (FAILED(CoCreateInstance(kImagingFactoryClass, nullptr, CLSCTX_INPROC_SERVER, kImagingFactoryInterface,
                              &factory))) {
    return false;
  }
  g_factory = static_cast<IWICImagingFactory*>(factory);
  return true;
}

void Shutdown() {
  if (g_factory != nullptr) g_factory->Release();
  g_factory = nullptr;
  for (HMODULE& codec : g_codecs) {
    if (codec != nullptr) FreeLibrary(codec);
    codec = nullptr;
  }
}

HBITMAP DecodePng(const void* bytes, size_t size) {
  if (g_factory == nullptr || bytes == nullptr || size == 0 || size > 0xFFFFFFFFu) return nullptr;
  UniqueHandle<ComReleaseTraits> stream;
  IWICStream* memory_stream = nullptr;
  if (FAILED(g_factory->CreateStream(&memory_stream))) return nullptr;
  stream.Reset(memory_stream);
  if (FAILED(memory_stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)),
                                                 static_cast<DWORD>(size)))) {
    return nullptr;
  }
  UniqueHandle<ComReleaseTraits> decoder_owner;
  void* decoder_pointer = nullptr;
  if (FAILED(CoCreateInstance(kPngDecoderClass, nullptr, CLSCTX_INPROC_SERVER, kBitmapDecoderInterface,
                              &decoder_pointer))) {
    return nullptr;
  }
  auto* decoder = static_cast<IWICBitmapDecoder*>(decoder_pointer);
  decoder_owner.Reset(decoder);
  if (FAILED(decoder->Initialize(memory_stream, WICDecodeMetadataCacheOnDemand))) return nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  if (FAILED(decoder->GetFrame(0, &frame))) return nullptr;
  UniqueHandle<ComReleaseTraits> frame_owner(frame);
  IWICFormatConverter* converter = nullptr;
  if (FAILED(g_factory->CreateFormatConverter(&converter))) return nullptr;
  UniqueHandle<ComReleaseTraits> converter_owner(converter);
  if (FAILED(converter->Initialize(frame, kPremultipliedBgra32, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  UINT width = 0;
  UINT height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > kMaxImageSidePixels || height > kMaxImageSidePixels) {
    return nullptr;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as the converter writes rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    return nullptr;
  }
  const UINT stride = width * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

}  // namespace image_decoder
}  // namespace lite_installer
