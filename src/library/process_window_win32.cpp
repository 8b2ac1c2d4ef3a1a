#include "library/process_window_win32.h"

#include "library/text.h"

namespace valmora {

HWND FindProcessWindow(DWORD processId) {
  for (HWND window = ::GetTopWindow(nullptr); window; window = ::GetWindow(window, GW_HWNDNEXT)) {
    if (::GetParent(window)) continue;  // owned popups such as the message box itself
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

std::wstring GetWindowCaption(HWND window) {
  if (!window) window = ::GetForegroundWindow();
  wchar_t buffer[200] = {};
  ::GetWindowTextW(window, buffer, 200);
  return TrimNull(std::wstring(buffer, 200));
}

}  // namespace valmora
