#include "library/message_wait_win32.h"

namespace valmora {

bool WaitPumpingMessages(HANDLE handle, DWORD milliseconds) {
  const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
  bool quit = false;
  WPARAM quitCode = 0;
  bool signalled = false;
  bool pumped = false;
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline && pumped) {  // a steady stream of messages must not hold the wait open
      signalled = ::WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
      break;
    }
    const DWORD remaining = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    const DWORD woken = quit ? ::WaitForSingleObject(handle, remaining)
                             : ::MsgWaitForMultipleObjectsEx(1, &handle, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0) {
      signalled = true;
      break;
    }
    if (woken != WAIT_OBJECT_0 + 1 || quit) break;  // time is up, or the handle is unusable
    pumped = true;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
        break;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
  return signalled;
}

}  // namespace valmora
