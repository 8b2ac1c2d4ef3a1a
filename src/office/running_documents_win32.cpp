#include "office/running_documents_win32.h"

#include <algorithm>
#include <utility>

namespace valmora {

std::optional<std::vector<RunningDocument>> RunningDocuments(IRunningObjectTable* table) {
  std::vector<RunningDocument> found;
  ComPtr<IEnumMoniker> entries;
  ComPtr<IBindCtx> context;
  if (!table || FAILED(table->EnumRunning(entries.GetAddressOf())) || !entries ||
      FAILED(::CreateBindCtx(0, context.GetAddressOf()))) {
    return std::nullopt;
  }
  constexpr ULONG kBatch = 64;
  for (;;) {
    IMoniker* batch[kBatch] = {};
    ULONG fetched = 0;
    const HRESULT got = entries->Next(kBatch, batch, &fetched);
    std::vector<ComPtr<IMoniker>> monikers(std::min(fetched, kBatch));
    for (std::size_t i = 0; i < monikers.size(); ++i) monikers[i].Attach(batch[i]);
    for (const ComPtr<IMoniker>& moniker : monikers) {
      // Class registrations ("!{CLSID}") and the like are item monikers.
      DWORD kind = 0;
      if (!moniker || moniker->IsSystemMoniker(&kind) != S_OK || kind != MKSYS_FILEMONIKER) continue;
      // A file moniker's name is its own: one that cannot be had leaves an
      // entry nobody can say is not theirs.
      LPOLESTR name = nullptr;
      if (FAILED(moniker->GetDisplayName(context.Get(), nullptr, &name)) || !name) return std::nullopt;
      std::wstring displayName(name);
      ::CoTaskMemFree(name);
      found.push_back({std::move(displayName), moniker});
    }
    if (FAILED(got)) return std::nullopt;
    if (got != S_OK || fetched == 0) break;
  }
  return found;
}

}  // namespace valmora
