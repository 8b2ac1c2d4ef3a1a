// The message box's print button: its picture and what it does.
#pragma once

#include <windows.h>

namespace valmora {

// A small printer, drawn for the given size in pixels; the caller destroys it.
HICON CreatePrinterIcon(int size);

// Prints an image of the window on the default printer. No printer, or any
// failure on the way, prints nothing and is not an error.
void PrintWindowImage(HWND window);

}  // namespace valmora
