// The walks of the object models, run on a gather's worker thread: each
// element read once, each field on its own, results handed to the job.
#pragma once

#include <string>

#include "doclog/dispatch_call_win32.h"
#include "doclog/gather_job_win32.h"
#include "doclog/office.h"

namespace valmora {

// Attaches (never starts the application) and reads its collection.
void ReadApplication(OfficeApp app, DispatchCaller& call, GatherJob& job);
// Attaches to Outlook or creates it, then looks the item up.
void LookUpOutlookItem(const std::wstring& entryId, DispatchCaller& call, GatherJob& job);

}  // namespace valmora
