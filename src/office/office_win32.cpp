#include "office/office_win32.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <utility>

#include "doclog/office_apps.h"
#include "library/com_win32.h"
#include "library/detached_thread_win32.h"
#include "library/message_wait_win32.h"
#include "office/application_reader_win32.h"
#include "office/busy_filter_win32.h"
#include "office/dispatch_call_win32.h"
#include "office/outlook_lookup_win32.h"

namespace valmora {

namespace {

using Clock = std::chrono::steady_clock;

DWORD MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<DWORD>(left);
}

// Wine has no CoCancelCall: calling it ends the process.
bool CanCancelCalls() {
  static const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return !wine;
}

// Whatever way the worker's body ends, the waiting side hears of it.
template <typename Result>
class WorkerEnd {
 public:
  explicit WorkerEnd(ResultJob<Result>& job) : job_(job) {}
  ~WorkerEnd() {
    job_.GiveUp();  // no effect when the work finished
    job_.MarkExited();
  }
  WorkerEnd(const WorkerEnd&) = delete;
  WorkerEnd& operator=(const WorkerEnd&) = delete;

 private:
  ResultJob<Result>& job_;
};

}  // namespace

Win32OfficeAutomation::Win32OfficeAutomation(OfficeTimings timings) : timings_(timings) {}

bool Win32OfficeAutomation::Free(OfficeApp app) const {
  const std::shared_ptr<WorkerJob>& last = last_[static_cast<int>(app)];
  return !last || last->HasExited();
}

bool Win32OfficeAutomation::MayStart(OfficeApp app, Clock::time_point deadline, Clock::time_point stuckUntil) {
  if (Free(app)) return true;
  const std::shared_ptr<WorkerJob> previous = last_[static_cast<int>(app)];
  // One given up on is stuck in the hung application: it gets a moment, as a
  // cancelled call does, to come back. One still under way is waited for.
  const auto until = previous->Stopped() ? std::min(deadline, stuckUntil) : deadline;
  if (!WaitPumpingMessages(previous->ExitedEvent(), MillisecondsUntil(until))) return false;
  // A call made from a message served meanwhile may have started a worker of its own.
  return last_[static_cast<int>(app)] == previous || Free(app);
}

template <typename Result>
std::shared_ptr<ResultJob<Result>> Win32OfficeAutomation::Start(OfficeApp app, Work<Result> work) {
  auto job = std::make_shared<ResultJob<Result>>();
  if (!job->Ready()) return nullptr;
  const bool started = StartDetachedThread([job, work = std::move(work), busyRetry = timings_.busyRetry] {
    const WorkerEnd<Result> end(*job);
    job->SetThreadId(::GetCurrentThreadId());
    const ComApartment apartment(COINIT_APARTMENTTHREADED);
    if (!apartment.Joined()) return;
    ::CoEnableCallCancellation(nullptr);
    CallBudget budget(busyRetry, job->Stopped(), job->StopEvent());
    BusyRetryFilter filter(budget);
    const ScopedMessageFilter registration(&filter);
    DispatchCaller call(budget);
    work(call, *job);
  });
  if (!started) return nullptr;
  last_[static_cast<int>(app)] = job;
  return job;
}

void Win32OfficeAutomation::Await(std::span<const std::shared_ptr<WorkerJob>> jobs, Clock::time_point deadline) {
  // Started together: waiting for each in turn costs no more than the slowest.
  bool allFinished = true;
  for (const auto& job : jobs) {
    if (job) allFinished = WaitPumpingMessages(job->FinishedEvent(), MillisecondsUntil(deadline)) && allFinished;
  }
  if (allFinished) return;
  // Hung or busy past the deadline: no new call starts; the one under way is
  // cancelled where that works, and abandoned if it still does not return.
  for (const auto& job : jobs) {
    if (!job || job->HasFinished()) continue;
    job->Stop();
    const DWORD worker = job->ThreadId();
    if (worker != 0 && CanCancelCalls()) ::CoCancelCall(worker, 0);
  }
  const auto grace = Clock::now() + timings_.cancelGrace;
  for (const auto& job : jobs) {
    if (job) WaitPumpingMessages(job->FinishedEvent(), MillisecondsUntil(grace));
  }
}

std::vector<AppSnapshot> Win32OfficeAutomation::GatherAll(std::span<const OfficeApp> apps) {
  const auto deadline = Clock::now() + timings_.gather;
  const auto stuckUntil = Clock::now() + timings_.cancelGrace;
  std::vector<std::shared_ptr<GatherJob>> gathers(apps.size());
  const auto start = [&](std::size_t i) {
    const OfficeApp app = apps[i];
    gathers[i] = Start<AppSnapshot>(app, [&traits = Traits(app)](DispatchCaller& call, GatherJob& gather) {
      ReadApplication(traits, call, gather);
    });
    if (gathers[i]) gathering_[static_cast<int>(app)] = gathers[i];
  };
  // Those free to go start at once, so that none waits for another's last worker.
  std::vector<std::size_t> held;
  for (std::size_t i = 0; i < apps.size(); ++i) {
    const int app = static_cast<int>(apps[i]);
    const std::shared_ptr<GatherJob>& under = gathering_[app];
    if (under && !under->HasFinished() && !under->Stopped()) {
      gathers[i] = under;  // asked from a message served while a scan waits: its answer is as fresh
    } else if (Free(apps[i])) {
      start(i);
    } else {
      held.push_back(i);
    }
  }
  for (std::size_t i : held) {
    if (MayStart(apps[i], deadline, stuckUntil)) start(i);
  }
  Await(std::vector<std::shared_ptr<WorkerJob>>(gathers.begin(), gathers.end()), deadline);
  std::vector<AppSnapshot> snapshots;
  for (const auto& job : gathers) {
    snapshots.push_back(job ? job->Take() : AppSnapshot{AppState::GaveUp, {}, {}});
  }
  return snapshots;
}

AppSnapshot Win32OfficeAutomation::Gather(OfficeApp app) { return GatherAll(std::span(&app, 1)).front(); }

OutlookLookup Win32OfficeAutomation::FindOutlookItem(const std::wstring& entryId) {
  const auto deadline = Clock::now() + timings_.lookup;
  if (!MayStart(OfficeApp::Outlook, deadline, Clock::now() + timings_.cancelGrace)) {
    return {LookupAnswer::GaveUp, L""};
  }
  const auto job = Start<OutlookLookup>(OfficeApp::Outlook, [entryId](DispatchCaller& call, LookupJob& lookup) {
    LookUpOutlookItem(entryId, call, lookup);
  });
  if (!job) return {LookupAnswer::GaveUp, L""};
  const std::shared_ptr<WorkerJob> waited[] = {job};
  Await(waited, deadline);
  return job->Take();
}

bool Win32OfficeAutomation::WaitForWorkers(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  bool ended = true;
  for (const auto& job : last_) {
    if (job) ended = WaitPumpingMessages(job->ExitedEvent(), MillisecondsUntil(deadline)) && ended;
  }
  return ended;
}

}  // namespace valmora
