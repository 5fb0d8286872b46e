// Reads the distribution tag of installer copies with the installer's own
// reader and prints, per file given, one line:
//   tag=<hex of the tag text> lang=<hex of the "lang" value> language_id=<id>
// "tag=-" when the file has no tag, "lang=-" when the tag has no "lang" key
// (language_id is then 0). The text is printed in hex because it is outside
// data: whatever it holds, it cannot change the shape of the output.
//   read_distribution_tag.exe FILE...
// Exit code 0, or 2 for a usage error.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "brand/brand_package_info.h"
#include "brand/distribution_tag.h"
#include "install/distrib_info_params.h"
#include "base/unique_handle.h"

namespace {

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const unsigned char byte : bytes) {
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
  }
  return out;
}

}  // namespace

int wmain() {
  int count = 0;
  lite_installer::ScopedLocalMemory arguments(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!arguments.IsValid() || count < 2) {
    std::fprintf(stderr, "usage: read_distribution_tag.exe FILE...\n");
    return 2;
  }
  LPWSTR* argv = static_cast<LPWSTR*>(arguments.Get());
  for (int i = 1; i < count; ++i) {
    const std::string tag = lite_installer::ReadDistributionTag(argv[i]);
    lite_installer::DistribParams params;
    lite_installer::ParseQueryString(tag, params);
    const auto lang = params.find("lang");
    std::printf("tag=%s lang=%s language_id=%lu\n", tag.empty() ? "-" : Hex(tag).c_str(),
                lang == params.end() ? "-" : Hex(lang->second).c_str(),
                lang == params.end() ? 0ul
                                     : static_cast<unsigned long>(lite_installer::LanguageCodeToId(lang->second)));
  }
  return 0;
}
