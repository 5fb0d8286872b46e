// Content-Range (of a 206 and of a 416): an accepted value is consistent,
// and writing it back in the canonical form parses to the same range.
#include "net/content_range.h"
#include "base/text.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring value = lite_installer::fuzz::WideFromBytes(data, size);
  uint64_t complete = 0, complete_again = 1;
  if (lite_installer::ParseUnsatisfiedRange(value, &complete)) {
    FUZZ_CHECK(lite_installer::ParseUnsatisfiedRange(L"bytes */" + lite_installer::ToDecimal(complete),
                                                     &complete_again) && complete_again == complete);
  }
  lite_installer::ContentRange range;
  if (!lite_installer::ParseContentRange(value, &range)) return 0;
  FUZZ_CHECK(range.first <= range.last);
  FUZZ_CHECK(range.complete == 0 || range.complete > range.last);
  const std::wstring canonical =
      L"bytes " + lite_installer::ToDecimal(range.first) + L"-" + lite_installer::ToDecimal(range.last) + L"/" +
      (range.complete == 0 ? std::wstring(L"*") : lite_installer::ToDecimal(range.complete));
  lite_installer::ContentRange again;
  FUZZ_CHECK(lite_installer::ParseContentRange(canonical, &again));
  FUZZ_CHECK(again.first == range.first && again.last == range.last && again.complete == range.complete);
  return 0;
}
