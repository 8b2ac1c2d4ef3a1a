// The documents open in any running application that registered them in the
// Running Object Table under a file moniker, as Office registers each
// workbook, document and presentation of every instance.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "doclog/office.h"
#include "library/com_win32.h"
#include "library/unique_handle_win32.h"

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

// The full names the first instances of one scan's applications read, asked
// side by side: each worker waits a while for the others' before it binds
// documents of the table, so that none binds what another has read already.
class BatchNames {
 public:
  BatchNames(std::size_t members, std::chrono::milliseconds wait);
  void Publish(const std::set<std::wstring>& names);
  // A member that never got to work (its application is stuck): nobody
  // waits for it, and what it has open is not known.
  void Withdraw();
  bool Has(const std::wstring& name) const;
  // Until every member has published, the wait is over, or stop is set;
  // true when every member did publish.
  bool WaitForOthers(HANDLE stop) const;

 private:
  void Left();  // with the lock held

  mutable std::mutex mutex_;
  std::set<std::wstring> names_;
  std::size_t pending_;
  bool withdrawn_ = false;
  std::chrono::milliseconds wait_;
  UniqueKernelHandle allIn_;
};

}  // namespace valmora
