#include "library/pause.h"

#include <windows.h>

namespace valmora {

void Pause(std::int32_t milliseconds, bool pumpEvents) {
  if (milliseconds <= 0) return;
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return;
    const DWORD remaining = static_cast<DWORD>(deadline - now);
    if (!pumpEvents) {
      ::Sleep(remaining);
      continue;
    }
    if (::MsgWaitForMultipleObjectsEx(0, nullptr, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
      continue;
    }
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

}  // namespace valmora
