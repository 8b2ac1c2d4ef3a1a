#include "doclog/running_documents_win32.h"

#include <algorithm>
#include <utility>

namespace valmora {

std::vector<RunningDocument> RunningDocuments(IRunningObjectTable* table) {
  std::vector<RunningDocument> found;
  ComPtr<IEnumMoniker> entries;
  ComPtr<IBindCtx> context;
  if (!table || FAILED(table->EnumRunning(entries.GetAddressOf())) || !entries ||
      FAILED(::CreateBindCtx(0, context.GetAddressOf()))) {
    return found;
  }
  constexpr ULONG kBatch = 64;
  for (;;) {
    IMoniker* batch[kBatch] = {};
    ULONG fetched = 0;
    const HRESULT got = entries->Next(kBatch, batch, &fetched);
    for (ULONG i = 0; i < std::min(fetched, kBatch); ++i) {
      ComPtr<IMoniker> moniker;
      moniker.Attach(batch[i]);
      // Class registrations ("!{CLSID}") and the like are item monikers.
      DWORD kind = 0;
      if (!moniker || moniker->IsSystemMoniker(&kind) != S_OK || kind != MKSYS_FILEMONIKER) continue;
      LPOLESTR name = nullptr;
      if (FAILED(moniker->GetDisplayName(context.Get(), nullptr, &name)) || !name) continue;
      found.push_back({name, moniker});
      ::CoTaskMemFree(name);
    }
    if (got != S_OK || fetched == 0) break;
  }
  return found;
}

void WalkedNames::Publish(OfficeApp app, std::set<std::wstring> names) {
  const std::lock_guard lock(mutex_);
  names_[static_cast<int>(app)] = std::move(names);
}

bool WalkedNames::AnotherHas(OfficeApp app, const std::wstring& name) const {
  const std::lock_guard lock(mutex_);
  for (int other = 0; other < kOfficeApps; ++other) {
    if (other != static_cast<int>(app) && names_[other].contains(name)) return true;
  }
  return false;
}

BatchNames::BatchNames(std::size_t members, std::chrono::milliseconds wait)
    : pending_(members), wait_(wait), allIn_(::CreateEventW(nullptr, TRUE, members == 0, nullptr)) {}

void BatchNames::Left() {
  if (pending_ > 0) --pending_;
  if (pending_ == 0 && allIn_) ::SetEvent(allIn_.get());
}

void BatchNames::Publish(const std::set<std::wstring>& names) {
  const std::lock_guard lock(mutex_);
  names_.insert(names.begin(), names.end());
  Left();
}

void BatchNames::Withdraw() {
  const std::lock_guard lock(mutex_);
  withdrawn_ = true;
  Left();
}

bool BatchNames::Has(const std::wstring& name) const {
  const std::lock_guard lock(mutex_);
  return names_.contains(name);
}

bool BatchNames::WaitForOthers(HANDLE stop) const {
  if (!allIn_) return false;
  HANDLE handles[] = {allIn_.get(), stop};
  DWORD index = 0;
  // Served as an apartment must while it waits.
  ::CoWaitForMultipleHandles(0, static_cast<DWORD>(wait_.count()), stop ? 2 : 1, handles, &index);
  const std::lock_guard lock(mutex_);
  return pending_ == 0 && !withdrawn_;
}

}  // namespace valmora
