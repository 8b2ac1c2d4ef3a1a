// The documents open in any running program that registered them in the
// Running Object Table under a file moniker, as Office registers each
// workbook, document and presentation of every instance.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <optional>
#include <string>
#include <vector>

#include "library/com_win32.h"

namespace valmora {

struct RunningDocument {
  std::wstring displayName;  // the full name: a path, an address, or "Book2"
  ComPtr<IMoniker> moniker;
};

// In the table's order; nothing when the table cannot be listed. Reading the
// names asks no program anything; binding an entry is a call into the one
// that registered it.
std::optional<std::vector<RunningDocument>> RunningDocuments(IRunningObjectTable* table);

}  // namespace valmora
