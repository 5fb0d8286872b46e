// Lengths, validators, the resumption verdicts, time limits and the bounds
// of the time-left estimate and of a statistics reply.
#include "net/resume_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "install/download_attempts.h"
#include "net/content_range.h"
#include "net/download_limits.h"
#include "net/download_progress.h"
#include "net/download_sink.h"

namespace lite_installer {
namespace {

TEST(ContentLengthTest, ParsesSixtyFourBitsAndNothingElse) {
  uint64_t length = 7;
  ASSERT_TRUE(ParseContentLength(L"5000000000", &length));
  EXPECT_EQ(5000000000ull, length) << "beyond 32 bits, never cut to 0";
  ASSERT_TRUE(ParseContentLength(L" 0 ", &length));
  EXPECT_EQ(0u, length);
  ASSERT_TRUE(ParseContentLength(L"9999999999999999999", &length));
  EXPECT_EQ(9999999999999999999ull, length);
  for (const wchar_t* bad : {L"", L" ", L"-1", L"+5", L"12a", L"1 2", L"0x10", L"1e9",
                             L"18446744073709551616", L"12345678901234567890"}) {
    EXPECT_FALSE(ParseContentLength(bad, &length)) << bad;
  }
}

TEST(ValidatorTest, StrongTagFirstThenDateAndNothingThatCouldBreakAHeader) {
  EXPECT_EQ(L"\"abc\"", ChooseValidator(L"\"abc\"", L"Tue, 08 Dec 2026 06:00:00 GMT"));
  EXPECT_EQ(L"Tue, 08 Dec 2026 06:00:00 GMT",
            ChooseValidator(L"W/\"abc\"", L"Tue, 08 Dec 2026 06:00:00 GMT"));
  EXPECT_EQ(L"", ChooseValidator(L"W/\"abc\"", L""));
  EXPECT_EQ(L"", ChooseValidator(L"unquoted", L""));
  EXPECT_EQ(L"", ChooseValidator(L"\"a\r\nX-Evil: 1\"", L"Mon\r\nX: 1"));
  EXPECT_EQ(L"", ChooseValidator(L"\"caf\u00e9\"", L""));
}

TEST(ResumeVerdictTest, OnlyAnExactContinuationOfTheSamePackageIsAppended) {
  const std::wstring tag = L"\"v1\"", date = L"Tue, 08 Dec 2026 06:00:00 GMT";
  const std::wstring whole_rest = L"bytes 300000-999999/1000000";
  PackageIdentity by_tag{tag, 1000000}, by_date{date, 1000000}, bare{L"", 1000000},
      unknown_length{tag, 0}, nothing{L"", 0};
  struct Row {
    const char* name;
    const PackageIdentity& known;
    ResumedAnswer answer;
    ResumeVerdict verdict;
  };
  const Row rows[] = {
      {"same tag", by_tag, {206, whole_rest, tag, L""}, ResumeVerdict::kAppend},
      {"same date", by_date, {206, whole_rest, L"\"other\"", date}, ResumeVerdict::kAppend},
      {"no validator: the total decides", bare, {206, whole_rest, L"\"x\"", L""},
       ResumeVerdict::kAppend},
      {"length learnt from the part", unknown_length, {206, whole_rest, tag, L""},
       ResumeVerdict::kAppend},
      {"another tag", by_tag, {206, whole_rest, L"\"v2\"", L""}, ResumeVerdict::kPackageChanged},
      {"another date", by_date, {206, whole_rest, L"", L"Wed, 09 Dec 2026 06:00:00 GMT"},
       ResumeVerdict::kPackageChanged},
      {"another total", by_tag, {206, L"bytes 300000-1099999/1100000", tag, L""},
       ResumeVerdict::kPackageChanged},
      {"another start", by_tag, {206, L"bytes 0-699999/1000000", tag, L""},
       ResumeVerdict::kRejected},
      {"stops short", by_tag, {206, L"bytes 300000-499999/1000000", tag, L""},
       ResumeVerdict::kRejected},
      {"no range", by_tag, {206, L"", tag, L""}, ResumeVerdict::kRejected},
      {"unknown total", unknown_length, {206, L"bytes 300000-999999/*", tag, L""},
       ResumeVerdict::kRejected},
      {"ends where the file ends", nothing, {416, L"bytes */300000", L"", L""},
       ResumeVerdict::kComplete},
      {"ends elsewhere", nothing, {416, L"bytes */299999", L"", L""},
       ResumeVerdict::kPackageChanged},
      {"416 against a known longer total", by_tag, {416, L"bytes */300000", L"", L""},
       ResumeVerdict::kPackageChanged},
      {"whole body", by_tag, {200, L"", L"\"v2\"", L""}, ResumeVerdict::kRestartWithBody},
      {"error status", by_tag, {503, L"", L"", L""}, ResumeVerdict::kRejected},
      {"redirect", nothing, {302, L"", L"", L""}, ResumeVerdict::kRejected},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.verdict, JudgeResumedAnswer(row.answer, 300000, row.known)) << row.name;
  }
  uint64_t complete = 0;
  EXPECT_FALSE(ParseUnsatisfiedRange(L"bytes */", &complete));
  EXPECT_FALSE(ParseUnsatisfiedRange(L"bytes 0-1/2", &complete));
}

TEST(RequestLimitsTest, EveryWaitIsBoundedAndTheStatisticsTotalHolds) {
  EXPECT_EQ(kPackageSilenceLimitMs, NextWaitLimitMs(kPackageRequestLimits, 0));
  EXPECT_EQ(kPackageSilenceLimitMs, NextWaitLimitMs(kPackageRequestLimits, 0xFFFFFFF0u))
      << "the package has no total limit";
  EXPECT_EQ(15000u, NextWaitLimitMs(kStatisticsRequestLimits, 0));
  EXPECT_EQ(1000u, NextWaitLimitMs(kStatisticsRequestLimits, 14000));
  EXPECT_EQ(0u, NextWaitLimitMs(kStatisticsRequestLimits, 15000));
  EXPECT_EQ(0u, NextWaitLimitMs(kStatisticsRequestLimits, 90000));
  EXPECT_LE(kConnectLimitMs, kStatisticsRequestLimitMs);
  // The connection has its own limit, the answer the silence limit after it.
  EXPECT_EQ(kConnectLimitMs, kStatisticsRequestLimits.connect_ms);
  EXPECT_EQ(7000u, AnswerWaitLimitMs(kPackageRequestLimits, false, 3000, 3000));
  EXPECT_EQ(0u, AnswerWaitLimitMs(kPackageRequestLimits, false, 10000, 10000));
  EXPECT_EQ(kPackageSilenceLimitMs, AnswerWaitLimitMs(kPackageRequestLimits, true, 0, 9000));
  EXPECT_EQ(1000u, AnswerWaitLimitMs(kStatisticsRequestLimits, true, 0, 14000));
}

TEST(TimeLeftTest, SixtyFourBitsAndClampedBeforeItMeetsAnInt) {
  // 3,000,000,000 bytes at 1 MiB a minute: about 47 hours, not 71581556 min.
  const int64_t left = RemainingSeconds(1048576, 3000000000ull, 60000);
  EXPECT_EQ((3000000000ll - 1048576) * 60 / 1048576, left);
  // A length near 0x5FFFFFFF after one byte: clamped, and the installation
  // allowance still fits in an int.
  const int64_t huge = RemainingSeconds(1, 0x5FFFFFFFull, 60000);
  EXPECT_EQ(kTimeLeftLimitSeconds, huge);
  EXPECT_LT(huge + kInstallationAllowanceSeconds, int64_t{INT_MAX});
  EXPECT_EQ(kTimeLeftLimitSeconds, RemainingSeconds(1, UINT64_MAX, 0xFFFFFFFFu));
  // The tenth rule in 64 bits.
  EXPECT_TRUE(ShouldRestartDownload(499999999, 5000000000ull));
  EXPECT_FALSE(ShouldRestartDownload(500000000, 5000000000ull));
  EXPECT_FALSE(ShouldRestartDownload(0, 0));
}

TEST(StringSinkTest, KeepsAFewKilobytesWhateverArrivesAndCountsAll) {
  StringSink reply;
  std::string chunk(32768, 'x');
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(reply.Write(chunk.data(), 32768));
  EXPECT_EQ(kReplyKeptBytes, reply.data().size());
  EXPECT_EQ(3276800u, reply.total);
  reply.Reset();
  EXPECT_EQ(0u, reply.data().size());
  ASSERT_TRUE(reply.Write("ok", 2));
  EXPECT_EQ("ok", reply.data());
}

}  // namespace
}  // namespace lite_installer
