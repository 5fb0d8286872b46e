#include "stats/reporter_thread.h"

#include <process.h>

#include <utility>

#include "base/log.h"
#include "base/log_tags.h"

namespace lite_installer {

namespace {

// Holds an unnamed mutex of this file. Each is held only for work in
// memory or for one log record, never across a request.
class Held {
 public:
  explicit Held(HANDLE mutex) : wait_(WaitForSingleObject(mutex, INFINITE)), lock_(mutex) {}

 private:
  DWORD wait_;
  MutexLock lock_;
};

HANDLE NewMutex() { return CreateMutexW(nullptr, FALSE, nullptr); }

void LogNotSent(const QueuedReport& report, const wchar_t* reason) {
  Log(kWarning, report.function, report.line, std::wstring(L"Report not sent (") + reason + L"): " + report.url);
}

constexpr wchar_t kBudgetSpent[] = L"the time for reports on the way out is used up";

}  // namespace

struct ReporterThread::State {
  ScopedHandle lock;  // guards `queue` and `in_flight`
  ScopedHandle wake;  // auto-reset: a report came, or the exit began
  std::shared_ptr<const ScopedHandle> cut;  // manual reset: the budget is spent
  ReportQueue queue;
  QueuedReport in_flight;  // the report being sent; its url is empty otherwise
  // Guards `left_behind` and every record the thread writes, so that none
  // is written once the owner has left.
  ScopedHandle log_lock;
  bool left_behind = false;
};

// The shared owners are made from plain `new`, not std::make_shared: without
// run-time type descriptions, make_shared's control block asks the C++
// runtime to compare type tags, which links the runtime's exception and
// thread machinery into the program (about 80 KiB).
ReporterThread::ReporterThread()
    : cut_event_(new ScopedHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr))), state_(new State) {
  state_->lock.Reset(NewMutex());
  state_->log_lock.Reset(NewMutex());
  state_->wake.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  state_->cut = cut_event_;
  if (!state_->lock.IsValid() || !state_->log_lock.IsValid() || !state_->wake.IsValid() || !cut_event_->IsValid()) {
    Log(kError, log_tag::kReporterThreadReporterThread, __LINE__, L"Cannot create the reporter thread's events.");
    return;
  }
  ready_ = true;
}

bool ReporterThread::StartLocked() {
  if (start_tried_) return thread_.IsValid();
  start_tried_ = true;
  // The thread's own share, released by the thread when it ends.
  auto* share = new std::shared_ptr<State>(state_);
  const uintptr_t thread = _beginthreadex(nullptr, 0, &ReporterThread::ThreadMain, share, 0, nullptr);
  if (thread == 0) {
    delete share;
    Log(kError, log_tag::kReporterThreadReporterThread, __LINE__, L"Cannot start the reporter thread.");
    return false;
  }
  thread_.Reset(reinterpret_cast<HANDLE>(thread));
  return true;
}

ReporterThread::~ReporterThread() {
  if (!ready_) return;
  {
    Held lock(state_->lock.Get());
    // No report came: no thread was started.
    if (!thread_.IsValid()) return;
    state_->queue.Close();
  }
  SetEvent(state_->wake.Get());
  if (WaitForSingleObject(thread_.Get(), kExitReportBudgetMs - kReportCutMarginMs) != WAIT_TIMEOUT) return;
  {
    Held lock(state_->lock.Get());
    state_->queue.Cut();
  }
  SetEvent(cut_event_->Get());
  SetEvent(state_->wake.Get());
  if (WaitForSingleObject(thread_.Get(), kReportCutMarginMs) != WAIT_TIMEOUT) return;

  // The thread is still inside a request: it is left behind with its share
  // of the state, and what it has not logged is logged here.
  Held log_lock(state_->log_lock.Get());
  state_->left_behind = true;
  Held lock(state_->lock.Get());
  Log(kWarning, log_tag::kReporterThreadDestructor, __LINE__, L"The reporter thread is left behind.");
  if (!state_->in_flight.url.empty()) LogNotSent(state_->in_flight, kBudgetSpent);
  QueuedReport report;
  while (state_->queue.Next(&report) == ReportStep::kDrop) LogNotSent(report, kBudgetSpent);
}

void ReporterThread::Post(QueuedReport report) {
  bool running = false;
  bool queued = false;
  if (ready_) {
    Held lock(state_->lock.Get());
    running = StartLocked();
    if (running) queued = state_->queue.Push(report);
  }
  if (!running) {
    LogNotSent(report, L"no reporter thread");
    return;
  }
  if (!queued) {
    LogNotSent(report, L"too many reports waiting");
    return;
  }
  SetEvent(state_->wake.Get());
}

unsigned __stdcall ReporterThread::ThreadMain(void* share) {
  const std::unique_ptr<std::shared_ptr<State>> own_share(static_cast<std::shared_ptr<State>*>(share));
  State& state = **own_share;
  for (;;) {
    QueuedReport report;
    ReportStep step = ReportStep::kWait;
    {
      Held lock(state.lock.Get());
      step = state.queue.Next(&report);
      if (step == ReportStep::kSend) state.in_flight = report;
    }
    if (step == ReportStep::kEnd) return 0;
    if (step == ReportStep::kWait) {
      WaitForSingleObject(state.wake.Get(), INFINITE);
      continue;
    }
    std::wstring error_text;
    const bool sent = step == ReportStep::kSend && report.send && report.send(report.url, &error_text);
    // The failure record carries the request's own last error.
    const DWORD last_error = GetLastError();
    bool cut = false;
    {
      Held lock(state.lock.Get());
      state.in_flight = QueuedReport();
      cut = state.queue.cut();
    }
    if (sent) continue;
    Held log_lock(state.log_lock.Get());
    if (state.left_behind) return 0;
    if (cut) {
      LogNotSent(report, kBudgetSpent);
    } else {
      SetLastError(last_error);
      Log(kError, report.function, report.line, report.failure_text + error_text);
    }
  }
}

}  // namespace lite_installer
