#include "ui/packed_image.h"

namespace lite_installer {
namespace {

uint32_t ReadLittleEndian32(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

bool ReadPackedImageHeader(const unsigned char* header, size_t packed_length, PackedImageSize* size) {
  const uint32_t width = ReadLittleEndian32(header);
  const uint32_t height = ReadLittleEndian32(header + 4);
  if (width == 0 || height == 0 || width > kMaxPackedImageSide || height > kMaxPackedImageSide) return false;
  // At most 4096 * 4096 * 4 bytes: no overflow even in 32 bits.
  const size_t pixel_bytes = static_cast<size_t>(width) * height * kPackedImagePixelBytes;
  if (packed_length < kPackedImageHeaderBytes || packed_length - kPackedImageHeaderBytes != pixel_bytes) return false;
  size->width = static_cast<int>(width);
  size->height = static_cast<int>(height);
  return true;
}

}  // namespace lite_installer
