#include "install/distrib_params_json.h"

#include <jansson.h>

#include <cstdlib>

namespace lite_installer {

std::string SerializeDistribParams(const DistribParams& params) {
  json_t* object = json_object();
  if (object == nullptr) return std::string();
  bool complete = true;
  for (const auto& [key, value] : params) {
    if (key.find('\0') != std::string::npos || value.find('\0') != std::string::npos) {
      complete = false;
      break;
    }
    json_t* member = json_stringn(value.data(), value.size());
    if (member == nullptr || json_object_setn_new(object, key.data(), key.size(), member) != 0) {
      complete = false;
      break;
    }
  }
  std::string text;
  if (complete) {
    char* dump = json_dumps(object, JSON_INDENT(2));
    if (dump != nullptr) {
      text = dump;
      free(dump);
    }
  }
  json_decref(object);
  return text;
}

}  // namespace lite_installer
