// Lookup in the installer's packed string tables: for each language, three
// little-endian 16-bit numbers (language id, first string id, count of
// texts), then that many zero-ended UTF-8 texts, one per id from the first on
// (made by resources/pack_strings.py).
#ifndef UI_PACKED_STRINGS_H_
#define UI_PACKED_STRINGS_H_

#include <string>

namespace lite_installer {

// The UTF-8 text of string `id` in exactly `language_id` (no fallback to
// another language); empty when the language or the id is missing or the
// tables are malformed. Never reads outside `tables`.
std::string FindPackedString(const std::string& tables, int language_id, int id);

}  // namespace lite_installer

#endif  // UI_PACKED_STRINGS_H_
