// The baseline of the idle benchmark: one visible window and a plain
// GetMessage loop, built like Valmora.exe, doing nothing between messages.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

// "/exit": ends once its window exists, without showing it: the baseline of
// a run that does its work out of sight and ends.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"ValmoraIdleBaseline";
  if (!::RegisterClassExW(&windowClass)) return 1;
  HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Idle baseline", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  if (commandLine && ::lstrcmpW(commandLine, L"/exit") == 0) {
    ::DestroyWindow(window);
    return 0;
  }
  ::ShowWindow(window, show);
  ::UpdateWindow(window);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
