// Entry point.
#include <windows.h>

#include "app/application_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return valmora::RunValmora(instance); }
