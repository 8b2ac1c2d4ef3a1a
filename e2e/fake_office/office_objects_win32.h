// The object model the fake applications serve, built from a scenario.
#pragma once

#include "com_support_win32.h"
#include "dispatch_object_win32.h"
#include "scenario.h"

#include <string>
#include <vector>

namespace fake_office {

struct ServedDocument {
  std::string fullName;
  ComPtr<IDispatch> object;
};

struct ServedApplication {
  ComPtr<IDispatch> application;
  std::vector<ServedDocument> documents;  // the workbooks, documents or presentations, in collection order
};

// The application object of Excel, Word, PowerPoint, Outlook or the other
// program, with everything it holds.
ServedApplication MakeApplication(ServerState& state, const Application& scenario);

}  // namespace fake_office
