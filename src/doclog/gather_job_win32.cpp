#include "doclog/gather_job_win32.h"

#include <utility>

namespace valmora {

GatherJob::GatherJob()
    : stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      finished_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      exited_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void GatherJob::AddDocument(OfficeDocument document) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!done_) snapshot_.documents.push_back(std::move(document));
}

void GatherJob::AddItem(OutlookItem item) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!done_) snapshot_.items.push_back(std::move(item));
}

void GatherJob::Finish(AppState state) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (done_) return;
    snapshot_.state = state;
    done_ = true;
  }
  ::SetEvent(finished_.get());
}

void GatherJob::FinishLookup(const OutlookLookup& lookup) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (done_) return;
    lookup_ = lookup;
    done_ = true;
  }
  ::SetEvent(finished_.get());
}

AppSnapshot GatherJob::Snapshot() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  AppSnapshot copy = snapshot_;
  if (!done_) copy.state = AppState::GaveUp;
  return copy;
}

OutlookLookup GatherJob::Lookup() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return done_ ? lookup_ : OutlookLookup{LookupAnswer::GaveUp, L""};
}

}  // namespace valmora
