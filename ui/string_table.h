// Lookup of the installer's texts in its string table. Windows build only.
#ifndef UI_STRING_TABLE_H_
#define UI_STRING_TABLE_H_

#include <string>

namespace lite_installer {

// String `id` in exactly `language_id` (no fallback to another language);
// empty when the block or the entry is missing.
std::wstring LoadStringIn(int id, int language_id);

}  // namespace lite_installer

#endif  // UI_STRING_TABLE_H_
