#include "stats/report_queue.h"

#include <gtest/gtest.h>

#include <string>

namespace lite_installer {
namespace {

bool Push(ReportQueue& queue, ReportKind kind, const std::wstring& url) {
  QueuedReport report;
  report.kind = kind;
  report.url = url;
  return queue.Push(report);
}

// The queue's steps until it waits or ends, as "send URL drop URL ... wait|end".
std::wstring Steps(ReportQueue& queue) {
  static const wchar_t* const kNames[] = {L"send ", L"drop ", L"wait", L"end"};
  std::wstring steps;
  for (;;) {
    QueuedReport report;
    const ReportStep step = queue.Next(&report);
    steps += kNames[static_cast<int>(step)] + report.url;
    if (step == ReportStep::kWait || step == ReportStep::kEnd) return steps;
  }
}

TEST(ReportQueueTest, ReportsGoOutInTheOrderTheyWereMadeThenTheExitEndsOrCutsThem) {
  ReportQueue queue;
  EXPECT_EQ(L"wait", Steps(queue));
  Push(queue, ReportKind::kRun, L"72977 ");
  Push(queue, ReportKind::kClick, L"sendstat ");
  EXPECT_EQ(L"send 72977 send sendstat wait", Steps(queue));
  // The exit: what is left still goes out, then the thread ends; once the
  // budget is spent, every report left (late ones included) is dropped.
  Push(queue, ReportKind::kRun, L"completion ");
  queue.Close();
  EXPECT_EQ(L"send completion end", Steps(queue));
  Push(queue, ReportKind::kRun, L"72982 ");
  queue.Cut();
  Push(queue, ReportKind::kClick, L"cancel ");
  EXPECT_EQ(L"drop 72982 drop cancel end", Steps(queue));
}

TEST(ReportQueueTest, ClicksNeverFillTheQueueTheRunsReportsAlwaysFindRoom) {
  ReportQueue queue;
  for (size_t i = 0; i < kQueuedClickReportsMax; ++i) ASSERT_TRUE(Push(queue, ReportKind::kClick, L"c"));
  EXPECT_FALSE(Push(queue, ReportKind::kClick, L"one click too many"));
  while (queue.size() < kReportQueueCapacity) ASSERT_TRUE(Push(queue, ReportKind::kRun, L"r"));
  EXPECT_FALSE(Push(queue, ReportKind::kRun, L"full"));
  // A click that went out makes room for the next one, across the ring's end.
  QueuedReport report;
  ASSERT_EQ(ReportStep::kSend, queue.Next(&report));
  EXPECT_TRUE(Push(queue, ReportKind::kClick, L"c"));
  EXPECT_EQ(kReportQueueCapacity, queue.size());
}

}  // namespace
}  // namespace lite_installer
