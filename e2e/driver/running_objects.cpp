#include "running_objects.h"

namespace e2e {

std::vector<RunningEntry> RunningEntries() {
  std::vector<RunningEntry> entries;
  ComPtr<IRunningObjectTable> table;
  ComPtr<IEnumMoniker> walker;
  ComPtr<IBindCtx> context;
  if (FAILED(::GetRunningObjectTable(0, table.GetAddressOf())) || FAILED(table->EnumRunning(walker.GetAddressOf())) ||
      !walker || FAILED(::CreateBindCtx(0, context.GetAddressOf()))) {
    return entries;
  }
  for (;;) {
    RunningEntry entry;
    ULONG fetched = 0;
    if (walker->Next(1, entry.moniker.GetAddressOf(), &fetched) != S_OK || fetched != 1) break;
    if (FAILED(entry.moniker->IsSystemMoniker(&entry.kind))) entry.kind = MKSYS_NONE;
    LPOLESTR name = nullptr;
    if (SUCCEEDED(entry.moniker->GetDisplayName(context.Get(), nullptr, &name)) && name) {
      entry.displayName = name;
      ::CoTaskMemFree(name);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<std::wstring> RunningFileNames() {
  std::vector<std::wstring> names;
  for (const RunningEntry& entry : RunningEntries()) {
    if (entry.kind == MKSYS_FILEMONIKER) names.push_back(entry.displayName);
  }
  return names;
}

ComPtr<IUnknown> BindEntry(IMoniker* moniker, HRESULT* result) {
  ComPtr<IRunningObjectTable> table;
  ComPtr<IUnknown> object;
  HRESULT bound = ::GetRunningObjectTable(0, table.GetAddressOf());
  if (SUCCEEDED(bound)) bound = table->GetObject(moniker, object.GetAddressOf());
  if (result) *result = bound;
  return object;
}

ComPtr<IDispatch> BindFile(const std::wstring& fullName, HRESULT* result) {
  ComPtr<IMoniker> moniker;
  ComPtr<IDispatch> document;
  HRESULT bound = ::CreateFileMoniker(fullName.c_str(), moniker.GetAddressOf());
  if (SUCCEEDED(bound)) {
    const ComPtr<IUnknown> object = BindEntry(moniker.Get(), &bound);
    if (object) bound = object.As(&document);
  }
  if (result) *result = bound;
  return document;
}

IUnknown* Identity(IUnknown* object) {
  ComPtr<IUnknown> identity;
  if (!object || FAILED(object->QueryInterface(IID_PPV_ARGS(identity.GetAddressOf())))) return nullptr;
  return identity.Get();  // the caller's reference keeps it alive
}

}  // namespace e2e
