// Statistics reports waiting for the reporter thread, oldest first, and the
// rule the thread follows: send them in order; once the exit began, end
// when none is left; once the exit's time budget is spent, drop what is
// left. The queue is bounded, and the user's clicks can never fill it: the
// run's own reports (counters, status and completion reports, a dozen per
// run) always find room. No system calls and no lock: the reporter
// thread's owner guards it.
#ifndef STATS_REPORT_QUEUE_H_
#define STATS_REPORT_QUEUE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace lite_installer {

enum class ReportKind {
  kRun,    // counters, status and completion reports
  kClick,  // click reports, as many as the user clicks
};

// Reports that may wait at once, and how many of them may be click reports.
constexpr size_t kReportQueueCapacity = 64;
constexpr size_t kQueuedClickReportsMax = 48;

// The one budget the reports on the way out share: the exit waits at most
// this long for the reporter thread. The request under way is cut
// kReportCutMarginMs before the budget ends, so that the thread can log
// what it drops and end within the budget.
constexpr uint32_t kExitReportBudgetMs = 1500;
constexpr uint32_t kReportCutMarginMs = 200;
static_assert(kReportCutMarginMs < kExitReportBudgetMs, "the cut comes within the budget");

// One report as it was made: its address, how to send it, and its failure
// record.
struct QueuedReport {
  ReportKind kind = ReportKind::kRun;
  std::wstring url;
  // Sends `url`; true when it arrived, otherwise the request's error text
  // goes to `error_text`.
  std::function<bool(const std::wstring& url, std::wstring* error_text)> send;
  // The failure record: the report's function tag and line, and the text
  // that goes before the request's error text.
  const wchar_t* function = L"";
  int line = 0;
  const wchar_t* failure_text = L"";
};

// What the reporter thread does next.
enum class ReportStep {
  kSend,  // send the report Next gave
  kDrop,  // log the report Next gave as not sent
  kWait,  // nothing waits: wait for a report or the exit
  kEnd,   // the exit began and nothing is left to send
};

class ReportQueue {
 public:
  // Appends `report`; false, keeping nothing, when the queue is full or
  // holds kQueuedClickReportsMax click reports and `report` is one more.
  // Reports still come in after Close and Cut.
  bool Push(QueuedReport report);
  // The exit began: the thread ends once nothing is left.
  void Close() { closed_ = true; }
  // The exit's budget is spent: every report still waiting is dropped.
  void Cut() { cut_ = true; }
  bool cut() const { return cut_; }
  // The thread's next step; kSend and kDrop move the oldest report into
  // `report`.
  ReportStep Next(QueuedReport* report);
  size_t size() const { return count_; }

 private:
  // A ring: the oldest report at `first_`, `count_` of them.
  std::array<QueuedReport, kReportQueueCapacity> reports_;
  size_t first_ = 0;
  size_t count_ = 0;
  size_t clicks_ = 0;
  bool closed_ = false;
  bool cut_ = false;
};

}  // namespace lite_installer

#endif  // STATS_REPORT_QUEUE_H_
