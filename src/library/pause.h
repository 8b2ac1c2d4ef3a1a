// Waiting without burning a core.
#pragma once

#include <cstdint>

namespace valmora {

// Waits milliseconds on the thread's message queue; with pumpEvents the
// window events that arrive meanwhile are handled. 0 or less returns at once.
// A WM_QUIT seen while pumping ends the wait and is posted again.
void Pause(std::int32_t milliseconds, bool pumpEvents);

}  // namespace valmora
