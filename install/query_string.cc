#include "install/distrib_info_params.h"

namespace lite_installer {

void ParseQueryString(const std::string& text, DistribParams& params) {
  size_t position = 0;
  while (position < text.size()) {
    const size_t key_end = text.find_first_of("&=", position);
    std::string key = text.substr(position, key_end == std::string::npos ? std::string::npos : key_end - position);
    std::string value;
    size_t pair_end = key_end;
    if (key_end != std::string::npos && text[key_end] == '=') {
      pair_end = text.find('&', key_end + 1);
      value = text.substr(key_end + 1, pair_end == std::string::npos ? std::string::npos : pair_end - key_end - 1);
    }
    params[key] = value;
    if (pair_end == std::string::npos) break;
    position = pair_end + 1;
  }
}

}  // namespace lite_installer
