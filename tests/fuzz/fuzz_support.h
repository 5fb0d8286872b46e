// Shared pieces of the fuzz harnesses: a property check that aborts (so that
// libFuzzer keeps the input as a crash) and the ways the harnesses read
// their input.
#ifndef TESTS_FUZZ_FUZZ_SUPPORT_H_
#define TESTS_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)

namespace lite_installer {
namespace fuzz {

// Reads the input as UTF-16 code units, two bytes each, little-endian.
std::wstring WideFromBytes(const uint8_t* data, size_t size);

// Splits the input at `separator` bytes.
std::vector<std::string> SplitBytes(const uint8_t* data, size_t size, char separator);

// The delimiters left when every unreserved character and every "%XX"
// sequence is taken out: what a URL's shape is made of. Values that were
// percent-encoded leave nothing behind.
std::wstring UrlSkeleton(const std::wstring& url);

// True when `text` is only unreserved characters and "%XX" sequences.
bool IsPercentEncoded(const std::wstring& text);

}  // namespace fuzz
}  // namespace lite_installer

#endif  // TESTS_FUZZ_FUZZ_SUPPORT_H_
