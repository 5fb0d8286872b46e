#include "stats/report_queue.h"

#include <utility>

namespace lite_installer {

static_assert(kQueuedClickReportsMax < kReportQueueCapacity, "clicks must leave room for the run's reports");

bool ReportQueue::Push(QueuedReport report) {
  if (count_ >= kReportQueueCapacity) return false;
  const bool click = report.kind == ReportKind::kClick;
  if (click && clicks_ >= kQueuedClickReportsMax) return false;
  if (click) ++clicks_;
  reports_[(first_ + count_) % kReportQueueCapacity] = std::move(report);
  ++count_;
  return true;
}

ReportStep ReportQueue::Next(QueuedReport* report) {
  if (count_ == 0) return closed_ || cut_ ? ReportStep::kEnd : ReportStep::kWait;
  *report = std::move(reports_[first_]);
  reports_[first_] = QueuedReport();
  first_ = (first_ + 1) % kReportQueueCapacity;
  --count_;
  if (report->kind == ReportKind::kClick) --clicks_;
  return cut_ ? ReportStep::kDrop : ReportStep::kSend;
}

}  // namespace lite_installer
