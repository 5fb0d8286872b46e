#include "base/text.h"

#include <algorithm>

namespace lite_installer {

std::string Narrow(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out.push_back(static_cast<char>(static_cast<uint32_t>(c) & 0xFF));
  return out;
}

std::wstring Widen(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  for (char c : text) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

std::string ToLowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::wstring ToLowerAscii(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

bool IsTrimmedWhitespace(wchar_t c) {
  const uint32_t u = static_cast<uint32_t>(c);
  if (u >= 0x09 && u <= 0x0D) return true;
  if (u >= 0x2000 && u <= 0x200A) return true;
  switch (u) {
    case 0x20: case 0x85: case 0xA0: case 0x1680: case 0x180E: case 0x200C:
    case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
      return true;
    default:
      return false;
  }
}

std::wstring TrimWhitespace(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsTrimmedWhitespace(text[begin])) ++begin;
  while (end > begin && IsTrimmedWhitespace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::wstring ToDecimal(uint64_t value) {
  wchar_t digits[24];
  size_t n = 0;
  do {
    digits[n++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::wstring out;
  while (n > 0) out.push_back(digits[--n]);
  return out;
}

std::wstring ToDecimal(int64_t value) {
  if (value >= 0) return ToDecimal(static_cast<uint64_t>(value));
  // Negate in unsigned arithmetic so that the most negative value is safe.
  return L"-" + ToDecimal(0 - static_cast<uint64_t>(value));
}

std::wstring ToHexLower(uint32_t value) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  wchar_t digits[8];
  size_t n = 0;
  do {
    digits[n++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  std::wstring out;
  while (n > 0) out.push_back(digits[--n]);
  return out;
}

namespace {

void AppendCodePoint(std::wstring& out, uint32_t cp) {
  if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(cp));
  }
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

bool IsGuidText(const std::string& text) {
  constexpr size_t kGuidChars = 36;
  if (text.size() != kGuidChars) return false;
  for (size_t i = 0; i < kGuidChars; ++i) {
    const char c = text[i];
    const bool dash_place = i == 8 || i == 13 || i == 18 || i == 23;
    const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (dash_place ? c != '-' : !hex) return false;
  }
  return true;
}

std::wstring Utf8ToWide(const std::string& text) {
  const uint32_t kReplacement = 0xFFFD;
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    uint32_t cp = 0;
    if (lead < 0x80) {
      length = 1;
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      cp = lead & 0x07;
    } else {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    bool valid = i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
      } else {
        cp = (cp << 6) | (next & 0x3F);
      }
    }
    // Reject overlong forms, surrogates and values past U+10FFFF.
    static const uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (valid && (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) {
      valid = false;
    }
    if (!valid) {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += length;
  }
  return out;
}

std::string WideToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = static_cast<uint32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
      const uint32_t low = static_cast<uint32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
    AppendUtf8(out, cp);
  }
  return out;
}

std::wstring ReplaceUrlHost(const std::wstring& url, const std::wstring& old_host,
                            const std::wstring& new_host) {
  constexpr wchar_t kSchemeEnd[] = L"://";
  constexpr size_t kSchemeEndLength = 3;
  // The host starts after the first "://", which no path, query or
  // fragment character may come before, and ends where one of them begins
  // (a backslash counts as the path's slash, as it does for WinINet).
  const size_t scheme_end = url.find(kSchemeEnd);
  if (old_host.empty() || scheme_end == std::wstring::npos || scheme_end == 0 ||
      url.find_first_of(L"/\\?#@") < scheme_end) {
    return url;
  }
  const size_t host_start = scheme_end + kSchemeEndLength;
  const size_t host_end = std::min(url.find_first_of(L"/\\?#", host_start), url.size());
  const std::wstring authority = url.substr(host_start, host_end - host_start);
  // "name@host" names another host than its start suggests: left alone.
  if (authority.find(L'@') != std::wstring::npos) return url;
  const std::wstring host =
      old_host.find(L':') == std::wstring::npos ? authority.substr(0, authority.find(L':')) : authority;
  if (ToLowerAscii(host) != ToLowerAscii(old_host)) return url;
  return url.substr(0, host_start) + new_host + url.substr(host_end);
}

}  // namespace lite_installer
