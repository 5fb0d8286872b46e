// The distribution parameters as the JSON text of the "distrib_info" file.
// No system calls.
#ifndef INSTALL_DISTRIB_PARAMS_JSON_H_
#define INSTALL_DISTRIB_PARAMS_JSON_H_

#include <string>

#include "install/distrib_info_params.h"

namespace lite_installer {

// One object with a string member per parameter, indented by two spaces.
// Empty when the library cannot build or serialise it (for instance a value
// that is not valid UTF-8) and when a key or value holds U+0000, which a
// default JSON reader rejects.
std::string SerializeDistribParams(const DistribParams& params);

}  // namespace lite_installer

#endif  // INSTALL_DISTRIB_PARAMS_JSON_H_
