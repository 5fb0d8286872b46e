#include "ui/string_table.h"

#include <string>
#include <utility>

#include "base/text.h"
#include "brand/brand_package_info.h"
#include "brand/cabinet_extract.h"
#include "resources/resource_ids.h"
#include "ui/packed_strings.h"

namespace lite_installer {
namespace {

// The cabinet's one member (resources/CMakeLists.txt).
constexpr char kStringTablesMember[] = "strings";

// The tables of every language travel as the one file of a compressed cabinet
// (a third of their size as UTF-16 string tables). They are unpacked once, on
// the first call, and kept for the rest of the process: the progress screen
// asks for a text on every step. A failed unpack is retried on the next call.
const std::string& UnpackedTables() {
  static std::string tables;
  if (tables.empty()) {
    CabinetFiles files;
    if (ExtractCabinetFile(LoadBinResource(IDR_STRING_TABLES), kStringTablesMember, &files)) {
      const auto found = files.find(kStringTablesMember);
      if (found != files.end()) tables = std::move(found->second);
    }
  }
  return tables;
}

}  // namespace

std::wstring LoadStringIn(int id, int language_id) {
  return Utf8ToWide(FindPackedString(UnpackedTables(), language_id, id));
}

}  // namespace lite_installer
