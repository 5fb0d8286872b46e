// Extraction of files from a cabinet archive held in memory, through the
// system cabinet decoder. Windows build only.
#ifndef BRAND_CABINET_EXTRACT_H_
#define BRAND_CABINET_EXTRACT_H_

#include <cstddef>
#include <map>
#include <string>

namespace lite_installer {

using CabinetFiles = std::map<std::string, std::string>;

// Takes one extracted file's bytes as the decoder produces them, so that a
// large file can go straight to where it is used.
class CabinetFileSink {
 public:
  virtual ~CabinetFileSink() = default;
  // A file named `name` of `size` bytes begins; false skips it.
  virtual bool Begin(const std::string& name, size_t size) = 0;
  // The next bytes of the file begun last; never more in all than its size.
  // False fails the extraction.
  virtual bool Append(const char* bytes, size_t count) = 0;
  // The file ends, with `complete` true when it holds exactly the announced
  // size; false fails the extraction.
  virtual bool End(bool complete) = 0;
};

// Extracts every file named `wanted_name` (every file when it is empty) from
// the single-cabinet archive `package` into `sink`. True when the decoder
// reports success; nothing is read from or written to disk.
bool ExtractCabinetFiles(const std::string& package, const std::string& wanted_name, CabinetFileSink* sink);

// Empties `files`, then extracts every file named `wanted_name` (every file
// when it is empty) from the single-cabinet archive `package`. A file is
// stored only when its output holds exactly the size the cabinet announced,
// so a damaged archive never yields a truncated document. A cabinet that
// continues in another cabinet aborts. True when the decoder reports
// success; nothing is read from or written to disk.
bool ExtractCabinetFile(const std::string& package, const std::string& wanted_name, CabinetFiles* files);

}  // namespace lite_installer

#endif  // BRAND_CABINET_EXTRACT_H_
