// The format of the installer's packed images (made at build time by
// resources/pack_images.py): the width and the height as little-endian
// 32-bit numbers, then the rows from the top, four bytes per pixel (blue,
// green, red premultiplied by alpha, alpha), exactly as a 32-bit top-down
// bitmap holds them.
#ifndef UI_PACKED_IMAGE_H_
#define UI_PACKED_IMAGE_H_

#include <cstddef>
#include <cstdint>

namespace lite_installer {

// Larger images are refused: no window of the installer is near this size,
// and it bounds the bitmap a damaged image could ask for.
constexpr uint32_t kMaxPackedImageSide = 4096;
constexpr size_t kPackedImageHeaderBytes = 8;
constexpr size_t kPackedImagePixelBytes = 4;

struct PackedImageSize {
  int width = 0;
  int height = 0;
};

// The size of a packed image from its kPackedImageHeaderBytes first bytes
// and its whole length. False when a side is 0 or above kMaxPackedImageSide,
// or when the length is not exactly the header and width * height * 4 bytes.
bool ReadPackedImageHeader(const unsigned char* header, size_t packed_length, PackedImageSize* size);

}  // namespace lite_installer

#endif  // UI_PACKED_IMAGE_H_
