#include "net/download_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/content_range.h"
#include "net/download_sink.h"

namespace lite_installer {
namespace {

class RecordingProgress : public DownloadProgress {
 public:
  void OnDownloadProgress(float fraction) override {
    calls.push_back(L"progress " + std::to_wstring(fraction));
  }
  void OnSlowDownload() override { calls.push_back(L"slow"); }
  void OnTimeLeft(int seconds, int state) override {
    calls.push_back(L"left " + std::to_wstring(seconds) + L" " + std::to_wstring(state));
  }
  std::vector<std::wstring> calls;
};

TEST(DownloadProgressTest, NothingIsReportedWhileTheLengthIsUnknown) {
  RecordingProgress progress;
  uint32_t last = 0;
  UpdateDownloadProgress(5000, 0, 120000, &last, &progress);
  EXPECT_TRUE(progress.calls.empty());
  EXPECT_EQ(0u, last);
}

TEST(DownloadProgressTest, FractionAfterEveryChunkAndEstimateOncePerMinute) {
  RecordingProgress progress;
  uint32_t last = 0;
  UpdateDownloadProgress(250, 1000, 59999, &last, &progress);
  EXPECT_EQ(std::vector<std::wstring>{L"progress 0.250000"}, progress.calls);
  EXPECT_EQ(0u, last);

  // 500 of 1000 bytes in 60 s: 60 s to go, 120 s in all, which is not slow.
  progress.calls.clear();
  UpdateDownloadProgress(500, 1000, 60000, &last, &progress);
  EXPECT_EQ((std::vector<std::wstring>{L"progress 0.500000", L"left 60 1"}), progress.calls);
  EXPECT_EQ(60000u, last);

  // Less than a minute after the last estimate: fraction only.
  progress.calls.clear();
  UpdateDownloadProgress(600, 1000, 119999, &last, &progress);
  EXPECT_EQ(std::vector<std::wstring>{L"progress 0.600000"}, progress.calls);

  // 600 of 1000 after 120 s: 80 s left, 200 s in all: slow.
  progress.calls.clear();
  UpdateDownloadProgress(600, 1000, 120000, &last, &progress);
  EXPECT_EQ((std::vector<std::wstring>{L"progress 0.600000", L"slow", L"left 80 1"}),
            progress.calls);
  EXPECT_EQ(120000u, last);
}

TEST(DownloadProgressTest, EstimateTruncatesAndStillAdvancesWithoutObserver) {
  // 3 of 10 bytes in 61 s: 7 * 61000 / 3 = 142333 ms, 142 s.
  EXPECT_EQ(142, RemainingSeconds(3, 10, 61000));
  // More bytes than announced: nothing left, never a huge or negative count.
  EXPECT_EQ(0, RemainingSeconds(1500, 1000, 60000));

  uint32_t last = 0;
  UpdateDownloadProgress(500, 1000, 60000, &last, nullptr);
  EXPECT_EQ(60000u, last);
  // Nothing downloaded yet: no estimate even after a minute.
  RecordingProgress progress;
  last = 0;
  UpdateDownloadProgress(0, 1000, 90000, &last, &progress);
  EXPECT_EQ(std::vector<std::wstring>{L"progress 0.000000"}, progress.calls);
  EXPECT_EQ(0u, last);
  // One byte of 100 MB in a minute: the estimate stops at its limit, never
  // a wrapped negative one.
  progress.calls.clear();
  UpdateDownloadProgress(1, 100000000, 61000, &last, &progress);
  EXPECT_EQ(L"left " + std::to_wstring(kTimeLeftLimitSeconds) + L" 1", progress.calls.back());
}

TEST(DownloadSinkTest, SinksCountWhatTheyAcceptAndForgetOnReset) {
  DownloadSink discard;
  EXPECT_TRUE(discard.Write("abc", 3));
  EXPECT_TRUE(discard.Write("de", 2));
  EXPECT_EQ(5u, discard.total);
  discard.Reset();
  EXPECT_EQ(0u, discard.total);

  StringSink text;
  DownloadSink& sink = text;  // used through the base, as the downloader does
  EXPECT_TRUE(sink.Write("a\0b", 3));
  EXPECT_TRUE(sink.Write("c", 1));
  EXPECT_EQ(std::string("a\0bc", 4), text.data());
  EXPECT_EQ(4u, sink.total);
  sink.Reset();
  EXPECT_EQ("", text.data());
  EXPECT_EQ(0u, sink.total);
}

TEST(ContentRangeTest, AcceptsOnlyAWellFormedPartDescription) {
  ContentRange range;
  ASSERT_TRUE(ParseContentRange(L"bytes 300000-999999/1000000", &range));
  EXPECT_EQ(300000u, range.first);
  EXPECT_EQ(999999u, range.last);
  EXPECT_EQ(1000000u, range.complete);
  ASSERT_TRUE(ParseContentRange(L"Bytes 5-9/*", &range));
  EXPECT_EQ(5u, range.first);
  EXPECT_EQ(0u, range.complete) << "unknown complete length";

  for (const wchar_t* bad :
       {L"", L"bytes", L"bytes */1000", L"bytes 10-5/100", L"bytes 0-99/99", L"bytes 0-99/100x",
        L"items 0-9/10", L"bytes 0-9", L"bytes -1-9/10", L"bytes 0-9/10 ",
        L"bytes 1234567890123456789-1234567890123456790/1234567890123456791"}) {
    EXPECT_FALSE(ParseContentRange(bad, &range)) << bad;
  }
}

}  // namespace
}  // namespace lite_installer
