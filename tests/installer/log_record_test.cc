#include "installer/log_record.h"

#include <gtest/gtest.h>

namespace lite_installer {
namespace {

const LogTimestamp kExampleTime = {2016, 5, 12, 7, 41, 3};

TEST(LogRecordTest, InfoAndWarningRecordsEndWithALineFeed) {
  EXPECT_EQ(L"2016-05-12 07:41:03 <3412> INFO: wWinMain (27): Lite installer mode.\n",
            FormatLogRecord(kExampleTime, 3412, kInfo, L"wWinMain", 27, L"Lite installer mode.", L""));
  EXPECT_EQ(L"2016-05-12 07:41:03 <4294967295> WARNING: Installer::GetModule (-1): x\n",
            FormatLogRecord(kExampleTime, 4294967295u, kWarning, L"Installer::GetModule", -1, L"x",
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

TEST(LogRecordTest, FormattedMessagesGainALineFeedAndAreCutAtTheBuffer) {
  EXPECT_EQ(L"attempt 3 of 5: file\n", Format(L"attempt %d of %d: %ls", 3, 5, L"file"));
  const std::wstring long_text(4000, L'a');
  const std::wstring cut = Format(L"%ls", long_text.c_str());
  ASSERT_EQ(kLogFormatBufferChars, cut.size()) << "1,499 characters and the line feed";
  EXPECT_EQ(L'\n', cut.back());
}

}  // namespace
}  // namespace lite_installer
