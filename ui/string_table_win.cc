#include "ui/string_table.h"

#include <string>

#include "base/text.h"
#include "brand/brand_package_info.h"
#include "brand/cabinet_extract.h"
#include "resources/resource_ids.h"
#include "ui/packed_strings.h"

namespace lite_installer {
namespace {

// The cabinet's one member (resources/CMakeLists.txt).
constexpr char kStringTablesMember[] = "strings";

}  // namespace

std::wstring LoadStringIn(int id, int language_id) {
  // The tables of every language travel as the one file of a compressed
  // cabinet (a third of their size as UTF-16 string tables).
  CabinetFiles files;
  if (!ExtractCabinetFile(LoadBinResource(IDR_STRING_TABLES), kStringTablesMember, &files)) return std::wstring();
  const auto tables = files.find(kStringTablesMember);
  if (tables == files.end()) return std::wstring();
  return Utf8ToWide(FindPackedString(tables->second, language_id, id));
}

}  // namespace lite_installer
