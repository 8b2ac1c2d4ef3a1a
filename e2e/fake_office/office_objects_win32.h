// The object model the fake applications serve, built from a scenario.
#pragma once

#include "com_support_win32.h"
#include "dispatch_object_win32.h"
#include "scenario.h"

namespace fake_office {

// The application object of Excel, Word or Outlook with everything it holds.
ComPtr<IDispatch> MakeApplication(ServerState& state, const Application& scenario);

}  // namespace fake_office
