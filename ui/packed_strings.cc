#include "ui/packed_strings.h"

#include <cstddef>

namespace lite_installer {
namespace {

constexpr size_t kHeaderNumbers = 3;  // language id, first string id, count
constexpr size_t kNumberBytes = 2;

int ReadNumber(const std::string& tables, size_t at) {
  return static_cast<unsigned char>(tables[at]) | static_cast<unsigned char>(tables[at + 1]) << 8;
}

}  // namespace

std::string FindPackedString(const std::string& tables, int language_id, int id) {
  size_t at = 0;
  while (tables.size() - at >= kHeaderNumbers * kNumberBytes) {
    const int language = ReadNumber(tables, at);
    const int first_id = ReadNumber(tables, at + kNumberBytes);
    const int count = ReadNumber(tables, at + 2 * kNumberBytes);
    at += kHeaderNumbers * kNumberBytes;
    const bool wanted = language == language_id;
    for (int index = 0; index < count; ++index) {
      const size_t end = tables.find('\0', at);
      if (end == std::string::npos) return std::string();
      if (wanted && first_id + index == id) return tables.substr(at, end - at);
      at = end + 1;
    }
    if (wanted) return std::string();
  }
  return std::string();
}

}  // namespace lite_installer
