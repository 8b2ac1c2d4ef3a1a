// Excel, Word, PowerPoint and Outlook through their automation object models. Each call
// runs on a worker thread of its own (a single-threaded apartment with its
// own message filter), so the calling thread, a window's thread even inside
// WM_QUERYENDSESSION, makes no COM call and keeps serving its windows while
// it waits; an application that hangs is given up on at its deadline.
// GaveUp also stands for an application that answers but whose collection
// cannot be read: nothing is known of what is open, which is not the same as
// nothing open.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "doclog/gather_job_win32.h"
#include "doclog/office.h"
#include "doclog/running_documents_win32.h"

namespace valmora {

class DispatchCaller;

struct OfficeTimings {
  std::chrono::milliseconds gather{5000};      // per application and scan
  std::chrono::milliseconds lookup{15000};     // may include starting Outlook
  std::chrono::milliseconds busyRetry{1000};   // per call turned away as busy
  std::chrono::milliseconds cancelGrace{500};  // for a cancelled call to come back
};

class Win32OfficeAutomation : public OfficeAutomation {
 public:
  explicit Win32OfficeAutomation(OfficeTimings timings = {});
  AppSnapshot Gather(OfficeApp app) override;
  std::vector<AppSnapshot> GatherAll(std::span<const OfficeApp> apps) override;
  OutlookLookup FindOutlookItem(const std::wstring& entryId) override;
  // Results are handed over before the objects behind them are released;
  // this waits, serving the thread's windows, until the workers of earlier
  // calls have released theirs and ended. Worth a short wait before the
  // process ends: an application keeps what a vanished client held until
  // COM's garbage collection notices, minutes later. True when all ended.
  bool WaitForWorkers(std::chrono::milliseconds limit);

 private:
  using Work = std::function<void(DispatchCaller& call, GatherJob& job)>;
  using Deadline = std::chrono::steady_clock::time_point;
  // The job once it finished or was given up on; nullptr when none could run.
  std::shared_ptr<GatherJob> Run(OfficeApp app, std::chrono::milliseconds deadline, Work work);
  // The job under way on a worker of its own, once the application's last
  // worker has let go of it; nullptr when none could start.
  std::shared_ptr<GatherJob> Start(OfficeApp app, std::chrono::milliseconds deadline, Work work);
  // Waits for every job until the deadline; those still at work are called
  // off and get, together, the grace of a cancelled call.
  void Await(std::span<const std::shared_ptr<GatherJob>> jobs, Deadline deadline);
  // The reading of every instance of the application, for a worker.
  Work GatherWork(OfficeApp app, std::shared_ptr<BatchNames> batch) const;
  // Whether a worker of another application is still stuck in it.
  bool AnotherHangs(OfficeApp app) const;

  OfficeTimings timings_;
  // Shared with workers that may outlive this object in a hung call.
  std::shared_ptr<WalkedNames> walked_ = std::make_shared<WalkedNames>();
  // Per application, the last worker: one still stuck in a call to a hung
  // application is waited for, not joined by another.
  std::shared_ptr<GatherJob> last_[kOfficeApps];
};

}  // namespace valmora
