#include "trust/base64.h"

#include <cstddef>
#include <cstdint>

namespace lite_installer {

namespace {

// The 6-bit value of an alphabet character, or -1.
int SextetValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Appends the bytes of `count` (2 to 4) sextets: count - 1 bytes.
void AppendGroup(const int* sextets, size_t count, std::string* bytes) {
  uint32_t bits = 0;
  for (size_t i = 0; i < 4; ++i) bits = (bits << 6) | (i < count ? static_cast<uint32_t>(sextets[i]) : 0u);
  const char out[3] = {static_cast<char>((bits >> 16) & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                       static_cast<char>(bits & 0xFF)};
  bytes->append(out, count - 1);
}

}  // namespace

bool StrictBase64Decode(const std::string& text, std::string* bytes) {
  bytes->clear();
  if (text.empty()) return true;
  if (text.size() % 4 != 0) return false;
  size_t padding = 0;
  while (padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  if (padding > 2) return false;
  const size_t data_chars = text.size() - padding;
  std::string decoded;
  decoded.reserve(text.size() / 4 * 3);
  int group[4];
  size_t filled = 0;
  for (size_t i = 0; i < data_chars; ++i) {
    const int value = SextetValue(text[i]);
    if (value < 0) return false;  // also catches "=" before the end
    group[filled++] = value;
    if (filled == 4) {
      AppendGroup(group, 4, &decoded);
      filled = 0;
    }
  }
  // With the length a multiple of four, one "=" leaves 3 sextets and two
  // leave 2.
  if (filled > 0) AppendGroup(group, filled, &decoded);
  bytes->swap(decoded);
  return true;
}

std::string LenientBase64Decode(const std::string& text) {
  std::string bytes;
  int group[4];
  size_t filled = 0;
  for (char c : text) {
    const int value = SextetValue(c);
    if (value < 0) continue;
    group[filled++] = value;
    if (filled == 4) {
      AppendGroup(group, 4, &bytes);
      filled = 0;
    }
  }
  if (filled >= 2) AppendGroup(group, filled, &bytes);
  return bytes;
}

}  // namespace lite_installer
