// The walks of the object models, run on a gather's worker thread: each
// element read once, each field on its own, results handed to the job.
#pragma once

#include <string>

#include "doclog/dispatch_call_win32.h"
#include "doclog/gather_job_win32.h"
#include "doclog/office.h"
#include "doclog/running_documents_win32.h"

namespace valmora {

// Attaches to every running instance (never starts the application) and
// reads their collections; `walked` and `batch` (nullptr when the
// application is asked alone) are shared with the other applications'
// workers. A document no walk knows is bound only when `othersAnswer`: no
// other application is known to hang, and every one of the batch answered.
void ReadApplication(OfficeApp app, DispatchCaller& call, GatherJob& job, WalkedNames& walked, BatchNames* batch,
                     bool othersAnswer);
// Attaches to Outlook or creates it, then looks the item up.
void LookUpOutlookItem(const std::wstring& entryId, DispatchCaller& call, GatherJob& job);

}  // namespace valmora
