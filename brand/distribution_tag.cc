#include "brand/distribution_tag.h"

namespace lite_installer {
namespace {

// True when `count` bytes starting at `offset` lie inside `size`.
bool Inside(size_t offset, size_t count, size_t size) {
  return offset <= size && count <= size - offset;
}

uint32_t ReadLittle32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadBig16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

}  // namespace

bool IsPrintableAsciiText(const std::string& text) {
  for (char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

std::string ParseDistributionTag(const uint8_t* data, size_t size) {
  if (data == nullptr || !Inside(0, 0x40, size) || data[0] != 'M' || data[1] != 'Z') return std::string();
  const size_t pe = ReadLittle32(data + 0x3C);
  if (!Inside(pe, 4, size) || data[pe] != 'P' || data[pe + 1] != 'E' || data[pe + 2] != 0 || data[pe + 3] != 0) {
    return std::string();
  }
  constexpr size_t kMagicOffset = 24;
  constexpr uint16_t kPe32PlusMagic = 0x20B;
  const bool pe32_plus = Inside(pe + kMagicOffset, 2, size) &&
                         (data[pe + kMagicOffset] | data[pe + kMagicOffset + 1] << 8) == kPe32PlusMagic;
  const size_t field = pe + (pe32_plus ? kCertificateTableFieldOffsetPe32Plus : kCertificateTableFieldOffset);
  if (!Inside(field, 4, size)) return std::string();
  const size_t entry = ReadLittle32(data + field);
  if (entry == 0 || !Inside(entry, 12, size)) return std::string();
  if (data[entry + 8] != 0x30 || data[entry + 9] != 0x82) return std::string();
  const size_t der_length = ReadBig16(data + entry + 10);
  const size_t tag = entry + TagBlockOffset(der_length);
  if (!Inside(tag, 6, size) || data[tag] != 'K' || data[tag + 1] != 'v' || data[tag + 2] != 'c' ||
      data[tag + 3] != 't') {
    return std::string();
  }
  const size_t text_length = ReadBig16(data + tag + 4);
  if (!Inside(tag + 6, text_length, size)) return std::string();
  return std::string(reinterpret_cast<const char*>(data + tag + 6), text_length);
}

}  // namespace lite_installer
