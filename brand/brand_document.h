// Reading one brand configuration document (JSON) into the record. No system
// calls: the document text comes from a package already extracted.
#ifndef BRAND_BRAND_DOCUMENT_H_
#define BRAND_BRAND_DOCUMENT_H_

#include <string>

#include "brand/brand_package_info.h"

namespace lite_installer {

// Parses `content` (up to its first NUL byte) and writes the values of the
// brand keys into the fields of `record` that are still empty or Unset; sets
// language_id from the interface language; then logs the nine summary
// records under "BrandPackageInfo::GetBrandInfo". A text that does not parse
// is read as an empty document; a key of the wrong type counts as missing.
void ReadBrandDocument(const std::string& content, BrandRecord& record);

// Fills what is still empty with the defaults (`user_language_code` is the
// code of the user's locale, or empty), computes language_id and logs the
// eight summary records under "BrandPackageInfo::SetDefaults".
void FillBrandDefaults(const std::string& user_language_code, BrandRecord& record);

}  // namespace lite_installer

#endif  // BRAND_BRAND_DOCUMENT_H_
