// Lookup of the installer's texts in the program's packed string tables
// (ui/packed_strings.h). Windows build only.
#ifndef UI_STRING_TABLE_H_
#define UI_STRING_TABLE_H_

#include <string>

namespace lite_installer {

// String `id` in exactly `language_id` (no fallback to another language);
// empty when the language or the entry is missing. Unpacks the tables on the
// first call and keeps them; only the entry's thread calls it (the cabinet
// decoder and the kept tables are not shared between threads).
std::wstring LoadStringIn(int id, int language_id);

}  // namespace lite_installer

#endif  // UI_STRING_TABLE_H_
