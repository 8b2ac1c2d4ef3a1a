// A worker thread that nobody joins.
#pragma once

#include <functional>

namespace valmora {

// Starts `work` on a new system thread and lets it go: one left behind in a
// call that never returns must not hold up whoever started it. False when no
// thread could be had. Not a detached std::thread: on a loaded machine one
// of those was seen to start with its state lost, a null read in the
// toolchain's own start routine that took the process down.
bool StartDetachedThread(std::function<void()> work);

}  // namespace valmora
