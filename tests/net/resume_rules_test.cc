// Lengths, validators, the resumption verdicts, time limits and the bounds
// of the time-left estimate and of a statistics reply.
#include "net/resume_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "install/download_attempts.h"
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
  PackageIdentity known;
  known.validator = L"\"v1\"";
  known.length = 1000000;
  EXPECT_TRUE(known.CanResume());
  EXPECT_EQ(ResumeVerdict::kAppend,
            JudgeResumedAnswer(206, L"bytes 300000-999999/1000000", 300000, known));
  // Another start, or a part that stops short of the end: refused, bytes kept.
  EXPECT_EQ(ResumeVerdict::kRejected,
            JudgeResumedAnswer(206, L"bytes 0-699999/1000000", 300000, known));
  EXPECT_EQ(ResumeVerdict::kRejected,
            JudgeResumedAnswer(206, L"bytes 300000-499999/1000000", 300000, known));
  EXPECT_EQ(ResumeVerdict::kRejected, JudgeResumedAnswer(206, L"", 300000, known));
  EXPECT_EQ(ResumeVerdict::kRejected,
            JudgeResumedAnswer(206, L"bytes 300000-999999/*", 300000, known));
  // Evidence of another package.
  EXPECT_EQ(ResumeVerdict::kPackageChanged,
            JudgeResumedAnswer(206, L"bytes 300000-1099999/1100000", 300000, known));
  EXPECT_EQ(ResumeVerdict::kPackageChanged, JudgeResumedAnswer(416, L"", 300000, known));
  EXPECT_EQ(ResumeVerdict::kRestartWithBody, JudgeResumedAnswer(200, L"", 300000, known));
  // Errors are no evidence: the bytes stay for the next attempt.
  for (uint32_t status : {404u, 500u, 503u, 204u, 302u}) {
    EXPECT_EQ(ResumeVerdict::kRejected, JudgeResumedAnswer(status, L"", 300000, known)) << status;
  }
  known.Clear();
  EXPECT_FALSE(known.CanResume());
  known.validator = L"\"v1\"";
  EXPECT_FALSE(known.CanResume()) << "a validator without a length cannot check the total";
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
