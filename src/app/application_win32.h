// The program: every Windows implementation wired into the core, and the
// main window's events routed to it.
#pragma once

#include <windows.h>

namespace valmora {

// Start-up, then the message loop until the main window closes; the exit code.
int RunValmora(HINSTANCE instance);

}  // namespace valmora
