// The distribution parameter text: the query-string split, the printable
// check, the language override and the download page address. Properties:
// every pair of a printable text survives the split; the address keeps its
// shape (one query, no fragment) and each known value reads back decoded.
#include "brand/download_page.h"
#include "brand/interface_language.h"
#include "install/distrib_info_params.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

std::string PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const bool printable = lite_installer::IsPrintableAsciiText(text);
  for (char c : text) {
    if (c < 0x20 || c > 0x7E) FUZZ_CHECK(!printable);
  }
  lite_installer::DistribParams params;
  lite_installer::ParseQueryString(text, params);
  size_t pairs = text.empty() ? 0 : 1;
  for (char c : text) pairs += c == '&' ? 1 : 0;
  FUZZ_CHECK(params.size() <= pairs);
  for (const auto& [key, value] : params) {
    FUZZ_CHECK(key.find_first_of("&=") == std::string::npos);
    FUZZ_CHECK(value.find('&') == std::string::npos);
  }

  BrandRecord brand;
  brand.brand_id = size % 2 == 0 ? "int" : "tb";
  brand.interface_language = "en";
  const auto lang = params.find("lang");
  lite_installer::OverrideInterfaceLanguage(lang == params.end() ? nullptr : &lang->second, brand);
  FUZZ_CHECK(brand.interface_language.empty() || brand.interface_language == "en" ||
             lite_installer::IsLanguageCode(brand.interface_language));

  const std::string url = lite_installer::DownloadPageUrl(brand, params);
  FUZZ_CHECK(url.find('#') == std::string::npos);
  FUZZ_CHECK(url.find_first_of(" \"<>\\") == std::string::npos);
  const size_t query = url.find('?');
  FUZZ_CHECK(query != std::string::npos && url.find('?', query + 1) == std::string::npos);
  // Each known key appears once, and its value decodes back.
  size_t position = query + 1;
  for (const auto& [key, value] : params) {
    if (!lite_installer::IsKnownTagKey(key)) continue;
    const size_t end = url.find('&', position);
    FUZZ_CHECK(end != std::string::npos);
    const std::string pair = url.substr(position, end - position);
    FUZZ_CHECK(pair.compare(0, key.size() + 1, key + "=") == 0);
    FUZZ_CHECK(PercentDecode(pair.substr(key.size() + 1)) == value);
    position = end + 1;
  }
  FUZZ_CHECK(url.substr(position) == "full=1");
  return 0;
}
