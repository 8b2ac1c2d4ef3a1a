// Entry point.
#include <windows.h>

#include <cstdlib>

#include "app/application_win32.h"

// The runtime's own handler writes the exception's demangled name to a
// console a windowed program does not have, and brings a demangler of some
// 30 KB along for it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return valmora::RunValmora(instance); }
