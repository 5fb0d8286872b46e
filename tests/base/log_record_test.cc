#include "base/log_record.h"
#include "base/log_tags.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

const LogTimestamp kExampleTime = {2016, 5, 12, 7, 41, 3};

TEST(LogRecordTest, InfoAndWarningRecordsEndWithALineFeed) {
  EXPECT_EQ(L"2016-05-12 07:41:03 <3412> INFO: wWinMain (27): Lite installer mode.\n",
            FormatLogRecord(kExampleTime, 3412, kInfo, L"wWinMain", 27, L"Lite installer mode.", L""));
  EXPECT_EQ(L"2016-05-12 07:41:03 <4294967295> WARNING: Installer::GetModule (-1): x\n",
            FormatLogRecord(kExampleTime, 4294967295u, kWarning, log_tag::kInstallerGetModule, -1, L"x",
                            L"ignored"));
}

TEST(LogRecordTest, ErrorRecordsEndWithTheLastErrorText) {
  EXPECT_EQ(L"2016-05-12 07:41:03 <7> ERROR: f (1): failed Last error: Access is denied.\r\n",
            FormatLogRecord(kExampleTime, 7, kError, L"f", 1, L"failed", L"Access is denied.\r\n"));
}

std::wstring Format(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = FormatLogMessage(format, args);
  va_end(args);
  return text;
}

TEST(LogRecordTest, FormattedMessagesAreCutAtTheBuffer) {
  EXPECT_EQ(L"attempt 3 of 5: file", Format(L"attempt %d of %d: %ls", 3, 5, L"file"));
  const std::wstring long_text(4000, L'a');
  EXPECT_EQ(kLogFormatBufferChars - 1, Format(L"%ls", long_text.c_str()).size());
}

TEST(LogRecordTest, OutsideTextCannotBreakARecordOrForgeAnother) {
  const std::wstring forged =
      L"tr\r\n2016-05-12 07:41:03 <1> ERROR: wWinMain (1): fake\n\x7f\u0085\u2028" + std::wstring(1, L'\0') + L"z";
  EXPECT_EQ(L"2016-05-12 07:41:03 <7> INFO: f (1): lang tr\\x0d\\x0a2016-05-12 07:41:03 <1> ERROR: "
            L"wWinMain (1): fake\\x0a\\x7f\\x85\\u2028\\x00z\n",
            FormatLogRecord(kExampleTime, 7, kInfo, L"f", 1, L"lang " + forged, L""));
  // The system text keeps only its own line ending; one without gets "\n".
  EXPECT_EQ(L"2016-05-12 07:41:03 <7> ERROR: f (1): x Last error: a\\x0d\\x0ab\r\n",
            FormatLogRecord(kExampleTime, 7, kError, L"f", 1, L"x", L"a\r\nb\r\n"));
  EXPECT_EQ(L"2016-05-12 07:41:03 <7> ERROR: f (1): x Last error: \n",
            FormatLogRecord(kExampleTime, 7, kError, L"f", 1, L"x", L""));
  // Lone surrogates are escaped, pairs kept: the record stays valid UTF-16.
  const wchar_t units[] = {0xD83D, 0xDE00, L'a', 0xD800, L'b', 0xDC00, 0xDBFF, 0xDBFF, 0xDFFF, 0xD800, 0};
  const std::wstring pair1 = {units[0], units[1]}, pair2 = {units[7], units[8]};
  EXPECT_EQ(pair1 + L"a\\ud800b\\udc00\\udbff" + pair2 + L"\\ud800", EscapeControlCharacters(units));
}

}  // namespace
}  // namespace lite_installer
