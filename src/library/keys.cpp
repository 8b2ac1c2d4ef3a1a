#include "library/keys.h"

namespace valmora {

bool IsKeyDown(const std::wstring& keyName, const KeyState& keyState) {
  int virtualKey = 0;
  if (keyName == L"+") virtualKey = 16;
  else if (keyName == L"^") virtualKey = 17;
  else if (keyName == L"%") virtualKey = 18;
  else return false;
  // Down is the high-order bit of the 16-bit state.
  return (static_cast<std::uint16_t>(keyState(virtualKey)) & 0x8000u) != 0;
}

}  // namespace valmora
