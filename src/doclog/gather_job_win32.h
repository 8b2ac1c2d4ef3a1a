// What one worker thread hands to the thread that waits for it. Shared by
// both through a shared_ptr, so a worker abandoned in a hung call finds it
// intact whenever the call comes back; everything written is under the lock.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>

#include "doclog/office.h"
#include "library/unique_handle_win32.h"

namespace valmora {

class GatherJob {
 public:
  GatherJob();
  GatherJob(const GatherJob&) = delete;
  GatherJob& operator=(const GatherJob&) = delete;
  // False when the events could not be made: the job cannot run.
  bool Ready() const { return stop_ && finished_ && exited_; }

  // Worker side.
  void SetThreadId(DWORD id) { threadId_ = id; }
  void AddDocument(OfficeDocument document);
  void AddItem(OutlookItem item);
  // The walk is over, with this state; later additions are ignored.
  void Finish(AppState state);
  void FinishLookup(const OutlookLookup& lookup);
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
  bool HasExited() const { return ::WaitForSingleObject(exited_.get(), 0) == WAIT_OBJECT_0; }
  // A copy of what was read; GaveUp while the walk is unfinished.
  AppSnapshot Snapshot() const;
  // GaveUp while the lookup is unfinished.
  OutlookLookup Lookup() const;

 private:
  UniqueKernelHandle stop_, finished_, exited_;
  std::atomic<DWORD> threadId_{0};
  std::atomic<bool> stopped_{false};
  mutable std::mutex mutex_;
  bool done_ = false;
  AppSnapshot snapshot_;
  OutlookLookup lookup_;
};

}  // namespace valmora
