// Whether a modifier key was held when the input now being handled happened.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace valmora {

// The platform's key state for a virtual-key code, as the thread sees it
// at the input event being handled (not the live keyboard).
using KeyState = std::function<std::int16_t(int virtualKey)>;

// "+" Shift, "^" Ctrl, "%" Alt; any other name is never down.
bool IsKeyDown(const std::wstring& keyName, const KeyState& keyState);

}  // namespace valmora
