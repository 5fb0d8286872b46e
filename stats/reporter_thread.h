// The one thread that sends the run's statistics reports, in the order they
// were made, so that neither the window's thread nor the controller's worker
// ever waits on the network for a report. Windows build only.
//
// The exit (destruction) waits for the reports still to send, at most
// kExitReportBudgetMs (stats/report_queue.h) in all: kReportCutMarginMs
// before the budget ends it cuts the request under way (the requests' stop
// event, `cut_event`), and the thread logs every report it could not send
// as a warning and ends. Should the thread still not have ended when the
// budget is spent, the exit logs what is left and leaves it behind: the
// thread holds its own share of the state and writes nothing more.
#ifndef STATS_REPORTER_THREAD_H_
#define STATS_REPORTER_THREAD_H_

#include <windows.h>

#include <memory>

#include "base/unique_handle.h"
#include "stats/report_queue.h"

namespace lite_installer {

class ReporterThread {
 public:
  // Makes the thread's events. The thread itself starts with the first
  // report, so that a run's start (the window's creation) does not share the
  // processor with a thread's start-up; should it not start, every report is
  // dropped with a warning.
  ReporterThread();
  // The exit, within kExitReportBudgetMs (see above).
  ~ReporterThread();

  ReporterThread(const ReporterThread&) = delete;
  ReporterThread& operator=(const ReporterThread&) = delete;

  // Queues `report` and returns at once, from any thread. A report that
  // finds no room (ReportQueue::Push) is dropped with a warning.
  void Post(QueuedReport report);

  // Signalled once the exit's budget is spent: requests pass it to the
  // downloader as their stop event. Shared, so that a request function
  // holding it stays valid whoever ends first.
  std::shared_ptr<const ScopedHandle> cut_event() const { return cut_event_; }

 private:
  struct State;

  static unsigned __stdcall ThreadMain(void* share);
  // Starts the thread unless that was tried; true when it runs. Called with
  // the state's lock held.
  bool StartLocked();

  std::shared_ptr<const ScopedHandle> cut_event_;
  std::shared_ptr<State> state_;
  bool ready_ = false;        // the events exist; constant after construction
  bool start_tried_ = false;  // guarded by the state's lock, as is thread_
  ScopedHandle thread_;
};

}  // namespace lite_installer

#endif  // STATS_REPORTER_THREAD_H_
