#include "doclog/office_win32.h"

#include <windows.h>
#include <objbase.h>

#include <utility>

#include "doclog/busy_filter_win32.h"
#include "doclog/dispatch_call_win32.h"
#include "doclog/office_reader_win32.h"
#include "library/com_win32.h"
#include "library/detached_thread_win32.h"
#include "library/message_wait_win32.h"

namespace valmora {

namespace {

DWORD Milliseconds(std::chrono::milliseconds duration) {
  return duration.count() <= 0 ? 0 : static_cast<DWORD>(duration.count());
}

// Wine has no CoCancelCall: calling it ends the process.
bool CanCancelCalls() {
  static const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return !wine;
}

void RunInApartment(GatherJob& job, std::chrono::milliseconds busyRetry,
                    const std::function<void(DispatchCaller&, GatherJob&)>& work) {
  const ComApartment apartment(COINIT_APARTMENTTHREADED);
  if (!apartment.Joined()) {
    job.Finish(AppState::GaveUp);
    job.FinishLookup({});
    return;
  }
  ::CoEnableCallCancellation(nullptr);
  CallBudget budget(busyRetry, job.Stopped(), job.StopEvent());
  BusyRetryFilter filter(budget);
  const ScopedMessageFilter registration(&filter);
  DispatchCaller call(budget);
  work(call, job);
}

DWORD MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  return Milliseconds(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()));
}

}  // namespace

Win32OfficeAutomation::Win32OfficeAutomation(OfficeTimings timings) : timings_(timings) {}

std::shared_ptr<GatherJob> Win32OfficeAutomation::Start(OfficeApp app, std::chrono::milliseconds deadline, Work work) {
  std::shared_ptr<GatherJob>& last = last_[static_cast<int>(app)];
  const std::shared_ptr<GatherJob> previous = last;
  // One given up on is stuck in the hung application: asking again would
  // only wait out another deadline, so it gets a moment, as a cancelled call
  // does, to come back. One still under way (a call made from a message
  // served meanwhile) is waited for.
  if (previous && previous->Stopped() &&
      !WaitPumpingMessages(previous->ExitedEvent(), Milliseconds(timings_.cancelGrace))) {
    return nullptr;
  }
  if (previous && !WaitPumpingMessages(previous->ExitedEvent(), Milliseconds(deadline))) return nullptr;
  // A call made from a message served meanwhile may have started a worker of its own.
  if (last != previous && last && !last->HasExited()) return nullptr;

  auto job = std::make_shared<GatherJob>();
  if (!job->Ready()) return nullptr;
  const bool started = StartDetachedThread([job, work = std::move(work), busyRetry = timings_.busyRetry] {
    job->SetThreadId(::GetCurrentThreadId());
    try {
      RunInApartment(*job, busyRetry, work);
    } catch (...) {
    }
    job->Finish(AppState::GaveUp);  // no effect when the work finished
    job->FinishLookup({});
    job->MarkExited();
  });
  if (!started) return nullptr;
  last = job;
  return job;
}

void Win32OfficeAutomation::Await(std::span<const std::shared_ptr<GatherJob>> jobs, Deadline deadline) {
  // Started together: waiting for each in turn costs no more than the slowest.
  bool allFinished = true;
  for (const auto& job : jobs) {
    if (job) allFinished = WaitPumpingMessages(job->FinishedEvent(), MillisecondsUntil(deadline)) && allFinished;
  }
  if (allFinished) return;
  // Hung or busy past the deadline: no new call starts; the one under way is
  // cancelled where that works, and abandoned if it still does not return.
  for (const auto& job : jobs) {
    if (!job || ::WaitForSingleObject(job->FinishedEvent(), 0) == WAIT_OBJECT_0) continue;
    job->Stop();
    const DWORD worker = job->ThreadId();
    if (worker != 0 && CanCancelCalls()) ::CoCancelCall(worker, 0);
  }
  const Deadline grace = std::chrono::steady_clock::now() + timings_.cancelGrace;
  for (const auto& job : jobs) {
    if (job) WaitPumpingMessages(job->FinishedEvent(), MillisecondsUntil(grace));
  }
}

std::shared_ptr<GatherJob> Win32OfficeAutomation::Run(OfficeApp app, std::chrono::milliseconds deadline, Work work) {
  const auto job = Start(app, deadline, std::move(work));
  if (job) Await(std::span(&job, 1), std::chrono::steady_clock::now() + deadline);
  return job;
}

bool Win32OfficeAutomation::AnotherHangs(OfficeApp app) const {
  for (int other = 0; other < kOfficeApps; ++other) {
    const auto& job = last_[other];
    if (other != static_cast<int>(app) && job && job->Stopped() && !job->HasExited()) return true;
  }
  return false;
}

bool Win32OfficeAutomation::WaitForWorkers(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool ended = true;
  for (const auto& job : last_) {
    if (!job) continue;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    ended = WaitPumpingMessages(job->ExitedEvent(), Milliseconds(left)) && ended;
  }
  return ended;
}

Win32OfficeAutomation::Work Win32OfficeAutomation::GatherWork(OfficeApp app, std::shared_ptr<BatchNames> batch) const {
  return [app, walked = walked_, batch = std::move(batch), othersAnswer = !AnotherHangs(app)](DispatchCaller& call,
                                                                                             GatherJob& job) {
    ReadApplication(app, call, job, *walked, batch.get(), othersAnswer);
  };
}

std::vector<AppSnapshot> Win32OfficeAutomation::GatherAll(std::span<const OfficeApp> apps) {
  std::vector<std::shared_ptr<GatherJob>> jobs;
  // Long enough for an application that answers to read its first instance.
  const auto batch = std::make_shared<BatchNames>(apps.size(), timings_.gather / 2);
  try {
    for (OfficeApp app : apps) {
      jobs.push_back(Start(app, timings_.gather, GatherWork(app, batch)));
      if (!jobs.back()) batch->Withdraw();
    }
  } catch (...) {
  }
  for (std::size_t i = jobs.size(); i < apps.size(); ++i) batch->Withdraw();
  Await(jobs, std::chrono::steady_clock::now() + timings_.gather);
  std::vector<AppSnapshot> snapshots(apps.size());
  for (std::size_t i = 0; i < apps.size(); ++i) {
    if (i < jobs.size() && jobs[i]) {
      snapshots[i] = jobs[i]->Snapshot();
    } else {
      snapshots[i].state = AppState::GaveUp;
    }
  }
  return snapshots;
}

AppSnapshot Win32OfficeAutomation::Gather(OfficeApp app) {
  try {
    const auto job = Run(app, timings_.gather, GatherWork(app, nullptr));
    if (job) return job->Snapshot();
  } catch (...) {
  }
  AppSnapshot none;
  none.state = AppState::GaveUp;
  return none;
}

OutlookLookup Win32OfficeAutomation::FindOutlookItem(const std::wstring& entryId) {
  try {
    const auto job = Run(OfficeApp::Outlook, timings_.lookup,
                         [entryId](DispatchCaller& call, GatherJob& job) { LookUpOutlookItem(entryId, call, job); });
    if (job) return job->Lookup();
  } catch (...) {
  }
  return {LookupAnswer::GaveUp, L""};
}

}  // namespace valmora
