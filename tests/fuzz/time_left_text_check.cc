// The time-left line's formatter, for time_left_fuzzer.cc.
#include <cstring>

#include "tests/fuzz/fuzz_support.h"
#include "ui/progress_protocol.h"

void CheckTimeLeftText(const uint8_t* data, size_t size) {
  uint32_t seconds, value;
  std::memcpy(&seconds, data, 4);
  std::memcpy(&value, data + 8, 4);
  const lite_installer::TimeLeftText choice =
      lite_installer::ChooseTimeLeftText(seconds, static_cast<int>(data[0] % 4));
  FUZZ_CHECK(choice.string_id == 0 || choice.value <= seconds);
  const std::wstring pattern = lite_installer::fuzz::WideFromBytes(data + 12, size - 12);
  const size_t bound = data[1];
  const std::wstring line = lite_installer::FormatWithInteger(pattern, value, bound);
  FUZZ_CHECK(line.size() <= bound);
  if (pattern.find(L'%') == std::wstring::npos) FUZZ_CHECK(line == pattern.substr(0, bound));
}
