// Decoding of the program's PNG images through the system's imaging
// component, kept behind plain functions so that only one file includes its
// headers. Windows build only.
#ifndef UI_IMAGE_DECODER_H_
#define UI_IMAGE_DECODER_H_

#include <windows.h>

#include <cstddef>

namespace lite_installer {
namespace image_decoder {

// Loads the imaging component's libraries from System32 and makes its
// factory; the thread must have initialised COM. True on success. Only the
// UI thread starts, uses and shuts down the decoder.
bool Startup();
void Shutdown();

// Decodes PNG bytes into a 32-bit top-down bitmap handle with premultiplied
// alpha; null on failure or before Startup. The caller owns the handle.
HBITMAP DecodePng(const void* bytes, size_t size);

}  // namespace image_decoder
}  // namespace lite_installer

#endif  // UI_IMAGE_DECODER_H_
