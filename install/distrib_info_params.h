// The distribution parameters of this copy of the installer: taken from the
// "distr-info-params" switch or from the distribution tag in the installer's
// own signed file, kept under the registry value "DistribInfoParams" and
// written as the JSON file "distrib_info" for the setup program.
#ifndef INSTALL_DISTRIB_INFO_PARAMS_H_
#define INSTALL_DISTRIB_INFO_PARAMS_H_

#include <map>
#include <string>

#include "brand/distribution_tag.h"

namespace lite_installer {

// Splits a query string (no leading "?") into `params`: pairs joined by "&",
// a key ends at the first "=" or "&", a later pair replaces an earlier one of
// the same key, empty keys count, and nothing is percent-decoded.
void ParseQueryString(const std::string& text, DistribParams& params);

}  // namespace lite_installer

class DistribInfoParams {
 public:
  DistribInfoParams() = default;
  // Not virtual: owned by value in the entry's frame.
  ~DistribInfoParams() = default;

  DistribInfoParams(const DistribInfoParams&) = delete;
  DistribInfoParams& operator=(const DistribInfoParams&) = delete;

  // Whether the parameters come back from the registry (never in this
  // program).
  virtual bool IsRestoring();
  // Stores `text` under the registry value "DistribInfoParams".
  virtual void StoreParams(const std::string& text);
  // The installer's own file path, or empty.
  virtual std::wstring GetModulePath();

  // Takes the parameter text (switch, else distribution tag), stores it and
  // splits it. True when there are parameters.
  bool Load();
  // Writes the parameters as the JSON file "distrib_info" in the run's
  // folder, created new and held (its failure ends the run before the setup
  // starts), and sets json_path. True when json_path was produced; false
  // and nothing written without parameters.
  bool WriteJsonFile();

  // True, with the value, when `key` is present.
  bool Find(const std::string& key, std::string* value) const;

  // The written "distrib_info" file; empty until WriteJsonFile wrote it.
  std::wstring json_path;
  lite_installer::DistribParams params;
};

#endif  // INSTALL_DISTRIB_INFO_PARAMS_H_
