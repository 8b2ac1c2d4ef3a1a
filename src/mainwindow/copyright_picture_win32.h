// The maker's badge on frmMain's bottom strip (imgCopyright), drawn at run time.
#pragma once

#include <windows.h>

namespace valmora {

// Fills `rect` of `dc` with the badge; drawn for that size, so it is sharp at any DPI.
void DrawCopyrightPicture(HDC dc, const RECT& rect);

}  // namespace valmora
