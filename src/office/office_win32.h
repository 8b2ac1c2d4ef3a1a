// Excel, Word, PowerPoint and Outlook through their automation object models.
// Each application is read by a worker thread of its own (a single-threaded
// apartment with its own message filter), so the calling thread, a window's
// thread even inside WM_QUERYENDSESSION, makes no COM call and keeps serving
// its windows while it waits; an application that hangs is given up on at
// its deadline and costs no other application anything.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "doclog/office.h"
#include "office/worker_job_win32.h"

namespace valmora {

class DispatchCaller;

struct OfficeTimings {
  std::chrono::milliseconds gather{5000};      // per scan, all applications side by side
  std::chrono::milliseconds lookup{15000};     // may include starting Outlook
  std::chrono::milliseconds busyRetry{1000};   // per call turned away as busy
  std::chrono::milliseconds cancelGrace{500};  // for a cancelled call to come back
};

class Win32OfficeAutomation : public OfficeAutomation {
 public:
  explicit Win32OfficeAutomation(OfficeTimings timings = {});
  AppSnapshot Gather(OfficeApp app) override;
  // One deadline for all: a scan asked while another waits (the end of the
  // session during a tick) takes the answers under way.
  std::vector<AppSnapshot> GatherAll(std::span<const OfficeApp> apps) override;
  OutlookLookup FindOutlookItem(const std::wstring& entryId) override;
  // Results are handed over before the objects behind them are released;
  // this waits, serving the thread's windows, until the workers of earlier
  // calls have released theirs and ended. Worth a short wait before the
  // process ends: an application keeps what a vanished client held until
  // COM's garbage collection notices, minutes later. True when all ended.
  bool WaitForWorkers(std::chrono::milliseconds limit);

 private:
  using Clock = std::chrono::steady_clock;
  template <typename Result>
  using Work = std::function<void(DispatchCaller& call, ResultJob<Result>& job)>;

  // No worker of the application holds on to anything.
  bool Free(OfficeApp app) const;
  // Waits, up to the deadline, for the application's last worker to let go;
  // one stuck in a hung call only until `stuckUntil`. False when it still
  // holds on: a new worker would only queue behind it.
  bool MayStart(OfficeApp app, Clock::time_point deadline, Clock::time_point stuckUntil);
  // The job under way on a worker of its own; nullptr when none could start.
  template <typename Result>
  std::shared_ptr<ResultJob<Result>> Start(OfficeApp app, Work<Result> work);
  // Waits for every job until the deadline; those still at work are called
  // off and get, together, the grace of a cancelled call.
  void Await(std::span<const std::shared_ptr<WorkerJob>> jobs, Clock::time_point deadline);

  OfficeTimings timings_;
  // Per application: its last worker of any kind, and its last gather.
  std::shared_ptr<WorkerJob> last_[kOfficeApps];
  std::shared_ptr<GatherJob> gathering_[kOfficeApps];
};

}  // namespace valmora
