#include "ui/packed_image.h"

namespace lite_installer {
namespace {

uint32_t ReadLittleEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

}  // namespace

bool ReadPackedImage(const std::string& packed, PackedImageView* view) {
  if (packed.size() < kPackedImageHeaderBytes) return false;
  const uint32_t width = ReadLittleEndian32(packed, 0);
  const uint32_t height = ReadLittleEndian32(packed, 4);
  if (width == 0 || height == 0 || width > kMaxPackedImageSide || height > kMaxPackedImageSide) return false;
  const size_t pixel_bytes = static_cast<size_t>(width) * height * kPackedImagePixelBytes;
  if (packed.size() - kPackedImageHeaderBytes != pixel_bytes) return false;
  view->width = static_cast<int>(width);
  view->height = static_cast<int>(height);
  view->pixels = reinterpret_cast<const unsigned char*>(packed.data()) + kPackedImageHeaderBytes;
  return true;
}

}  // namespace lite_installer
