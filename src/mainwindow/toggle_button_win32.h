// The look of frmMain's two toggles, painted through the button's custom draw.
#pragma once

#include <windows.h>

namespace valmora {

// Paints the whole of `button` (a push-like check box) into `rect` of `dc`.
// A high-contrast theme, or a border colour its text would not read on,
// gives it the theme's button colours instead of the design's.
void DrawToggle(HWND button, HDC dc, RECT rect, bool highContrast);

// The brush under a toggle, the same choice as its face.
HBRUSH ToggleBackground(bool highContrast);

}  // namespace valmora
