#include "base/percent_encoding.h"

#include "base/text.h"

namespace lite_installer {

bool IsUnreservedUrlCharacter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

std::string PercentEncode(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (IsUnreservedUrlCharacter(u)) {
      out += c;
    } else {
      out += '%';
      out += kDigits[u >> 4];
      out += kDigits[u & 0xF];
    }
  }
  return out;
}

std::string EncodeUnsafeUrlBytes(const std::string& url) {
  static const char kDigits[] = "0123456789ABCDEF";
  static const char kUnsafe[] = "\"<>\\^`{|}";
  std::string out;
  out.reserve(url.size());
  for (char c : url) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F || (u != 0 && std::string(kUnsafe).find(c) != std::string::npos)) {
      out += '%';
      out += kDigits[u >> 4];
      out += kDigits[u & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::wstring PercentEncode(const std::wstring& text) { return Widen(PercentEncode(WideToUtf8(text))); }

std::wstring PercentEncodeBytes(const std::string& bytes) { return Widen(PercentEncode(bytes)); }

}  // namespace lite_installer
