// The documents open in any running application that registered them in the
// Running Object Table under a file moniker, as Office registers each
// workbook, document and presentation of every instance.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "doclog/office.h"
#include "library/com_win32.h"

namespace valmora {

struct RunningDocument {
  std::wstring displayName;  // the full name: a path, an address, or "Book2"
  ComPtr<IMoniker> moniker;
};

// In the table's order; nothing when the table cannot be read. Reading the
// names asks no application anything.
std::vector<RunningDocument> RunningDocuments(IRunningObjectTable* table);

// The full names each application's last complete walk read, shared by the
// workers of every application. Binding an entry is a call into the
// application that registered it: one another application has open is left
// alone, which costs nothing and never waits for that application to answer.
class WalkedNames {
 public:
  void Publish(OfficeApp app, std::set<std::wstring> names);
  bool AnotherHas(OfficeApp app, const std::wstring& name) const;

 private:
  mutable std::mutex mutex_;
  std::set<std::wstring> names_[kOfficeApps];
};

}  // namespace valmora
