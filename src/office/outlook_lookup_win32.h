// The reopen's question to Outlook about one logged item, on a worker thread.
#pragma once

#include <string>

#include "office/dispatch_call_win32.h"
#include "office/worker_job_win32.h"

namespace valmora {

// Attaches to Outlook or starts it, then GetNamespace("MAPI"), Logon,
// GetItemFromID(entryId) and the item's Parent.Name.
void LookUpOutlookItem(const std::wstring& entryId, DispatchCaller& call, LookupJob& job);

}  // namespace valmora
