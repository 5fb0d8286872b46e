// The fifteen interface languages: codes, Windows language identifiers and
// each brand's fallback language. No system calls.
#ifndef BRAND_LANGUAGE_TABLE_H_
#define BRAND_LANGUAGE_TABLE_H_

#include <cstdint>
#include <string>

namespace lite_installer {

// The code whose identifier equals `language_id` exactly, or empty.
std::string LanguageCodeForId(uint32_t language_id);

}  // namespace lite_installer

#endif  // BRAND_LANGUAGE_TABLE_H_
