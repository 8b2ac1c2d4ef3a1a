// The program's own top-level window and window titles.
#pragma once

#include <windows.h>

#include <string>

namespace valmora {

// The first top-level window of the process in Z order that has no parent
// or owner; nullptr when there is none.
HWND FindProcessWindow(DWORD processId);

// The title of the window, or of the foreground window when it is nullptr;
// at most 199 characters.
std::wstring GetWindowCaption(HWND window);

}  // namespace valmora
