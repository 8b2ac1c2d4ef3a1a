// What the program's small dialogs share: twips at a window's DPI, the
// message font at that DPI, a modal window centred on its owner's monitor.
#pragma once

#include <windows.h>

namespace valmora {

int TwipsToPixels(long twips, UINT dpi);

// The window's DPI, 96 when the system cannot tell.
UINT WindowDpi(HWND window);

// The system's message font at that DPI; nullptr when it cannot be read.
HFONT CreateMessageFont(UINT dpi);

// The work area of the monitor the owner is on (the primary one without an owner).
RECT OwnerWorkArea(HWND owner);

// Sizes the window to a client area of that many pixels and centres it on
// the work area, kept inside it.
void SizeAndCentre(HWND window, int clientWidth, int clientHeight, const RECT& work);

// Registers a dialog-like window class once: arrow pointer, face-coloured
// background. True when the class exists.
bool RegisterDialogWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc);

// WM_DPICHANGED: the window takes the place Windows suggests, sized for a
// client area of that many pixels at the new DPI.
void MoveToSuggestedRect(HWND window, SIZE client, UINT dpi, const RECT& suggested);

// Shows the window modally until done is set: the owner disabled meanwhile,
// Tab, Enter, Esc and access keys through the dialog manager. Then enables
// the owner (first, so activation returns to it) and destroys the window.
// A WM_QUIT ends the loop and is passed on to the loops further out.
void RunModal(HWND window, HWND owner, const bool& done);

}  // namespace valmora
