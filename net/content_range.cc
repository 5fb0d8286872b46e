#include "net/content_range.h"

namespace lite_installer {

namespace {

// Reads a decimal number of at most 18 digits at `*pos`.
bool ReadNumber(const std::wstring& text, size_t* pos, uint64_t* value) {
  size_t start = *pos;
  uint64_t result = 0;
  while (*pos < text.size() && text[*pos] >= L'0' && text[*pos] <= L'9') {
    if (*pos - start >= 18) return false;
    result = result * 10 + static_cast<uint64_t>(text[*pos] - L'0');
    ++*pos;
  }
  if (*pos == start) return false;
  *value = result;
  return true;
}

bool ReadChar(const std::wstring& text, size_t* pos, wchar_t c) {
  if (*pos >= text.size() || text[*pos] != c) return false;
  ++*pos;
  return true;
}

// Reads "bytes " and the spaces after it.
bool ReadUnit(const std::wstring& value, size_t* pos) {
  static const wchar_t kUnit[] = L"bytes";
  for (const wchar_t* u = kUnit; *u != 0; ++u, ++*pos) {
    if (*pos >= value.size() || (value[*pos] | 0x20) != *u) return false;
  }
  if (!ReadChar(value, pos, L' ')) return false;
  while (*pos < value.size() && value[*pos] == L' ') ++*pos;
  return true;
}

}  // namespace

bool ParseUnsatisfiedRange(const std::wstring& value, uint64_t* complete) {
  size_t pos = 0;
  uint64_t parsed = 0;
  if (!ReadUnit(value, &pos) || !ReadChar(value, &pos, L'*') || !ReadChar(value, &pos, L'/') ||
      !ReadNumber(value, &pos, &parsed) || pos != value.size()) {
    return false;
  }
  *complete = parsed;
  return true;
}

bool ParseContentRange(const std::wstring& value, ContentRange* range) {
  size_t pos = 0;
  if (!ReadUnit(value, &pos)) return false;
  ContentRange parsed;
  if (!ReadNumber(value, &pos, &parsed.first) || !ReadChar(value, &pos, L'-') ||
      !ReadNumber(value, &pos, &parsed.last) || !ReadChar(value, &pos, L'/')) {
    return false;
  }
  if (ReadChar(value, &pos, L'*')) {
    parsed.complete = 0;
  } else if (!ReadNumber(value, &pos, &parsed.complete) || parsed.complete <= parsed.last) {
    return false;
  }
  if (pos != value.size() || parsed.last < parsed.first) return false;
  *range = parsed;
  return true;
}

}  // namespace lite_installer
