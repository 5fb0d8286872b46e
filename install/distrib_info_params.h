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

  // Takes the parameter text (switch, else distribution tag), stores it,
  // splits it and writes the JSON file. True when json_path was produced.
  bool Load();

  // True, with the value, when `key` is present.
  bool Find(const std::string& key, std::string* value) const;

  // The written "distrib_info" file; empty when there are no parameters.
  std::wstring json_path;
  lite_installer::DistribParams params;
};

#endif  // INSTALL_DISTRIB_INFO_PARAMS_H_
