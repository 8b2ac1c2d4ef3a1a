// Waiting on a handle while the thread's windows go on being served.
#pragma once

#include <windows.h>

namespace valmora {

// True once the handle is signalled, false after milliseconds. Messages that
// arrive meanwhile are dispatched; a WM_QUIT ends the pumping (it is posted
// again afterwards) but not the wait.
bool WaitPumpingMessages(HANDLE handle, DWORD milliseconds);

}  // namespace valmora
