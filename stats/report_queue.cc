#include "stats/report_queue.h"

#include <utility>

namespace lite_installer {

static_assert(kQueuedClickReportsMax < kReportQueueCapacity, "clicks must leave room for the run's reports");

bool ReportQueue::Push(QueuedReport report) {
  if (reports_.size() >= kReportQueueCapacity) return false;
  const bool click = report.kind == ReportKind::kClick;
  if (click && clicks_ >= kQueuedClickReportsMax) return false;
  if (click) ++clicks_;
  reports_.push_back(std::move(report));
  return true;
}

ReportStep ReportQueue::Next(QueuedReport* report) {
  if (reports_.empty()) return closed_ || cut_ ? ReportStep::kEnd : ReportStep::kWait;
  *report = std::move(reports_.front());
  reports_.pop_front();
  if (report->kind == ReportKind::kClick) --clicks_;
  return cut_ ? ReportStep::kDrop : ReportStep::kSend;
}

}  // namespace lite_installer
