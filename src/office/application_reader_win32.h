// One application's pass on its gather's worker thread: every running
// instance read once, every element once, each field on its own.
#pragma once

#include "doclog/office_apps.h"
#include "office/dispatch_call_win32.h"
#include "office/worker_job_win32.h"

namespace valmora {

// Attaches to every instance of the application (never starts it) and hands
// what each has open to the job. It answers for this application alone: it
// binds only the Running Object Table's entries the application may own,
// and calls into no other program's but where a name cannot tell. The pass is
// Read only when every step of it succeeded.
void ReadApplication(const OfficeAppTraits& app, DispatchCaller& call, GatherJob& job);

}  // namespace valmora
