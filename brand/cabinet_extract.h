// Extraction of files from a cabinet archive held in memory, through the
// system cabinet decoder. Windows build only.
#ifndef BRAND_CABINET_EXTRACT_H_
#define BRAND_CABINET_EXTRACT_H_

#include <map>
#include <string>

namespace lite_installer {

using CabinetFiles = std::map<std::string, std::string>;

// Empties `files`, then extracts every file named `wanted_name` (every file
// when it is empty) from the single-cabinet archive `package`. A file is
// stored only when its output holds exactly the size the cabinet announced,
// so a damaged archive never yields a truncated document. A cabinet that
// continues in another cabinet aborts. True when the decoder reports
// success; nothing is read from or written to disk.
bool ExtractCabinetFile(const std::string& package, const std::string& wanted_name, CabinetFiles* files);

}  // namespace lite_installer

#endif  // BRAND_CABINET_EXTRACT_H_
