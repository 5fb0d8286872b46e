// The "distrib_info" JSON: whatever the parameters, the text is either empty
// (the file is then not written) or a document a default reader loads back
// into exactly the same parameters.
#include <jansson.h>

#include "install/distrib_info_params.h"
#include "install/distrib_params_json.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Pairs separated by 0x01, key and value by 0x02: NUL and every other
  // byte may stand in a key or a value.
  lite_installer::DistribParams params;
  for (const std::string& pair : lite_installer::fuzz::SplitBytes(data, size, '\x01')) {
    const size_t split = pair.find('\x02');
    params[pair.substr(0, split)] = split == std::string::npos ? std::string() : pair.substr(split + 1);
  }
  const std::string text = lite_installer::SerializeDistribParams(params);
  if (text.empty()) return 0;
  FUZZ_CHECK(text.find('\0') == std::string::npos);
  json_error_t error;
  json_t* root = json_loads(text.c_str(), 0, &error);
  FUZZ_CHECK(json_is_object(root));
  FUZZ_CHECK(json_object_size(root) == params.size());
  for (const auto& [key, value] : params) {
    json_t* member = json_object_get(root, key.c_str());
    FUZZ_CHECK(json_is_string(member));
    FUZZ_CHECK(std::string(json_string_value(member), json_string_length(member)) == value);
  }
  json_decref(root);
  return 0;
}
