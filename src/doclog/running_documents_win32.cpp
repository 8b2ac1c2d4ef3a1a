#include "doclog/running_documents_win32.h"

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
  for (;;) {
    ComPtr<IMoniker> moniker;
    if (entries->Next(1, moniker.GetAddressOf(), nullptr) != S_OK || !moniker) break;
    // Class registrations ("!{CLSID}") and the like are item monikers.
    DWORD kind = 0;
    if (moniker->IsSystemMoniker(&kind) != S_OK || kind != MKSYS_FILEMONIKER) continue;
    LPOLESTR name = nullptr;
    if (FAILED(moniker->GetDisplayName(context.Get(), nullptr, &name)) || !name) continue;
    found.push_back({name, moniker});
    ::CoTaskMemFree(name);
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

}  // namespace valmora
