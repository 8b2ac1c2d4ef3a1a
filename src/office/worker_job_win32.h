// What one worker thread hands to the thread that waits for it. Shared by
// both through a shared_ptr, so a worker abandoned in a hung call finds it
// intact whenever the call comes back; the result is only touched under the
// lock.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <utility>

#include "doclog/office.h"
#include "library/unique_handle_win32.h"

namespace valmora {

// The worker's life: started, finished (its result is final), exited (it
// has let go of every object), and the waiting side's call to stop.
class WorkerJob {
 public:
  WorkerJob();
  WorkerJob(const WorkerJob&) = delete;
  WorkerJob& operator=(const WorkerJob&) = delete;
  virtual ~WorkerJob() = default;
  // False when the events could not be made: the job cannot run.
  bool Ready() const { return stop_ && finished_ && exited_; }

  // Worker side.
  void SetThreadId(DWORD id) { threadId_ = id; }
  void MarkExited() { ::SetEvent(exited_.get()); }
  HANDLE StopEvent() const { return stop_.get(); }
  // Given up on at its deadline: still in a call to a hung application.
  const std::atomic<bool>& Stopped() const { return stopped_; }

  // Waiting side.
  DWORD ThreadId() const { return threadId_; }
  void Stop() {
    stopped_ = true;
    ::SetEvent(stop_.get());
  }
  HANDLE FinishedEvent() const { return finished_.get(); }
  HANDLE ExitedEvent() const { return exited_.get(); }
  bool HasFinished() const { return ::WaitForSingleObject(finished_.get(), 0) == WAIT_OBJECT_0; }
  bool HasExited() const { return ::WaitForSingleObject(exited_.get(), 0) == WAIT_OBJECT_0; }

 protected:
  void SignalFinished() { ::SetEvent(finished_.get()); }

 private:
  UniqueKernelHandle stop_, finished_, exited_;
  std::atomic<DWORD> threadId_{0};
  std::atomic<bool> stopped_{false};
};

// What an unfinished result stands for: the application was given up on.
inline void MarkGivenUp(AppSnapshot& snapshot) { snapshot.state = AppState::GaveUp; }
inline void MarkGivenUp(OutlookLookup& lookup) { lookup = {LookupAnswer::GaveUp, L""}; }

template <typename Result>
class ResultJob final : public WorkerJob {
 public:
  // Worker side: a change to the result so far; ignored once it is final.
  template <typename Change>
  void Update(Change&& change) {
    const std::lock_guard lock(mutex_);
    if (!done_) change(result_);
  }
  // The last change: the result is final.
  template <typename Change>
  void Finish(Change&& change) {
    {
      const std::lock_guard lock(mutex_);
      if (done_) return;
      change(result_);
      done_ = true;
    }
    SignalFinished();
  }
  // For every way a worker can end without finishing.
  void GiveUp() {
    Finish([](Result& result) { MarkGivenUp(result); });
  }

  // Waiting side: a copy of the result, given up on while it is unfinished.
  Result Take() const {
    const std::lock_guard lock(mutex_);
    Result copy = result_;
    if (!done_) MarkGivenUp(copy);
    return copy;
  }

 private:
  mutable std::mutex mutex_;
  bool done_ = false;
  Result result_{};
};

using GatherJob = ResultJob<AppSnapshot>;
using LookupJob = ResultJob<OutlookLookup>;

}  // namespace valmora
