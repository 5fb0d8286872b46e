// Log records: whatever the message and the system's error text hold, a
// record is one line that ends with its own line break, and the message
// reads back from the escaped form.
#include "base/log_record.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Reverses EscapeControlCharacters for texts whose backslashes are escaped
// too; here only to check that nothing is lost.
bool SameAfterUnescape(const std::wstring& original, const std::wstring& escaped) {
  std::wstring out;
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == L'\\' && i + 3 < escaped.size() + 1 && escaped.compare(i, 2, L"\\x") == 0 &&
        i + 4 <= escaped.size()) {
      out += static_cast<wchar_t>(std::stoul(escaped.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else if (escaped.compare(i, 2, L"\\u") == 0 && i + 6 <= escaped.size()) {
      out += static_cast<wchar_t>(std::stoul(escaped.substr(i + 2, 4), nullptr, 16));
      i += 5;
    } else {
      out += escaped[i];
    }
  }
  return out == original;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const size_t split = size > 0 ? data[0] : 0;
  const size_t message_bytes = split < size ? split : size;
  std::wstring message = lite_installer::fuzz::WideFromBytes(data, message_bytes);
  const std::wstring error_text = lite_installer::fuzz::WideFromBytes(data + message_bytes, size - message_bytes);
  const lite_installer::LogTimestamp time = {2026, 12, 8, 6, 0, 0};
  for (lite_installer::LogLevel level :
       {lite_installer::kInfo, lite_installer::kWarning, lite_installer::kError}) {
    const std::wstring record = lite_installer::FormatLogRecord(time, 1, level, L"f", 1, message, error_text);
    const size_t first_break = record.find_first_of(L"\r\n");
    FUZZ_CHECK(first_break != std::wstring::npos);
    const std::wstring ending = record.substr(first_break);
    FUZZ_CHECK(ending == L"\n" || ending == L"\r\n");
    // Valid UTF-16: every surrogate is half of a high-low pair.
    for (size_t i = 0; i < record.size(); ++i) {
      const bool high = record[i] >= 0xD800 && record[i] <= 0xDBFF, low = record[i] >= 0xDC00 && record[i] <= 0xDFFF;
      FUZZ_CHECK(!low);
      if (high) FUZZ_CHECK(i + 1 < record.size() && record[++i] >= 0xDC00 && record[i] <= 0xDFFF);
    }
  }
  // Without backslashes in the message the escaped form is unambiguous.
  for (wchar_t& c : message) {
    if (c == L'\\') c = L'/';
  }
  FUZZ_CHECK(SameAfterUnescape(message, lite_installer::EscapeControlCharacters(message)));
  return 0;
}
