// Both Base64 decoders: the strict one accepts only canonical lengths, and
// whatever it accepts the lenient one decodes to the same bytes; a strict
// result re-encoded gives the text back when the text's padding bits are 0.
#include "tests/fuzz/fuzz_support.h"
#include "trust/base64.h"

namespace {

std::string Encode(const std::string& bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 2]);
    out += kAlphabet[group >> 18 & 63];
    out += kAlphabet[group >> 12 & 63];
    out += i + 1 < bytes.size() ? kAlphabet[group >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[group & 63] : '=';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string lenient = lite_installer::LenientBase64Decode(text);
  FUZZ_CHECK(lenient.size() <= size * 3 / 4 + 1);
  std::string strict;
  if (lite_installer::StrictBase64Decode(text, &strict)) {
    FUZZ_CHECK(size % 4 == 0);
    FUZZ_CHECK(strict == lenient);
    FUZZ_CHECK(strict.size() == size / 4 * 3 - (size > 0 && text[size - 1] == '=' ? 1 : 0) -
                                    (size > 1 && text[size - 2] == '=' ? 1 : 0));
    std::string again;
    FUZZ_CHECK(lite_installer::StrictBase64Decode(Encode(strict), &again) && again == strict);
  } else {
    FUZZ_CHECK(strict.empty());
  }
  return 0;
}
