#include "stats/report_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lite_installer {
namespace {

QueuedReport Report(ReportKind kind, const std::wstring& url) {
  QueuedReport report;
  report.kind = kind;
  report.url = url;
  return report;
}

// Runs the queue's steps until it waits or ends: "send url" or "drop url", then "wait" or "end".
std::vector<std::wstring> Steps(ReportQueue& queue) {
  std::vector<std::wstring> steps;
  for (;;) {
    QueuedReport report;
    const ReportStep step = queue.Next(&report);
    if (step == ReportStep::kWait || step == ReportStep::kEnd) {
      steps.push_back(step == ReportStep::kWait ? L"wait" : L"end");
      return steps;
    }
    steps.push_back((step == ReportStep::kSend ? L"send " : L"drop ") + report.url);
  }
}

TEST(ReportQueueTest, ReportsGoOutInTheOrderTheyWereMadeThenTheExitEndsOrCutsThem) {
  ReportQueue queue;
  EXPECT_EQ(std::vector<std::wstring>{L"wait"}, Steps(queue));
  for (const auto& [kind, url] : {std::pair{ReportKind::kRun, L"72977"}, {ReportKind::kClick, L"sendstat"},
                                  {ReportKind::kRun, L"72978"}}) {
    ASSERT_TRUE(queue.Push(Report(kind, url)));
  }
  EXPECT_EQ((std::vector<std::wstring>{L"send 72977", L"send sendstat", L"send 72978", L"wait"}), Steps(queue));

  // The exit: what is left still goes out, then the thread ends; once the
  // budget is spent, every report left (late ones included) is dropped.
  queue.Push(Report(ReportKind::kRun, L"completion"));
  queue.Close();
  queue.Push(Report(ReportKind::kRun, L"72982"));
  QueuedReport first;
  EXPECT_EQ(ReportStep::kSend, queue.Next(&first));
  EXPECT_EQ(L"completion", first.url);
  queue.Cut();
  queue.Push(Report(ReportKind::kClick, L"cancel"));
  EXPECT_EQ((std::vector<std::wstring>{L"drop 72982", L"drop cancel", L"end"}), Steps(queue));
}

TEST(ReportQueueTest, ClicksNeverFillTheQueueTheRunsReportsAlwaysFindRoom) {
  ReportQueue queue;
  for (size_t i = 0; i < kQueuedClickReportsMax; ++i) ASSERT_TRUE(queue.Push(Report(ReportKind::kClick, L"c")));
  EXPECT_FALSE(queue.Push(Report(ReportKind::kClick, L"one click too many")));
  while (queue.size() < kReportQueueCapacity) ASSERT_TRUE(queue.Push(Report(ReportKind::kRun, L"r")));
  EXPECT_FALSE(queue.Push(Report(ReportKind::kRun, L"full")));
  // A click that went out makes room for the next one.
  QueuedReport report;
  ASSERT_EQ(ReportStep::kSend, queue.Next(&report));
  EXPECT_TRUE(queue.Push(Report(ReportKind::kClick, L"c")));
  EXPECT_EQ(kReportQueueCapacity, queue.size());
}

}  // namespace
}  // namespace lite_installer
