// The look of frmMain's two toggles, painted through the button's custom draw.
#pragma once

#include <windows.h>

namespace valmora {

// Paints the whole of `button` (a push-like check box) into `rect` of `dc`.
void DrawToggle(HWND button, HDC dc, RECT rect);

}  // namespace valmora
