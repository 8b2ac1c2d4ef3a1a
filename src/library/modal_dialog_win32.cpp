#include "library/modal_dialog_win32.h"

#include <algorithm>

namespace valmora {

int TwipsToPixels(long twips, UINT dpi) { return ::MulDiv(static_cast<int>(twips), static_cast<int>(dpi), 1440); }

UINT WindowDpi(HWND window) {
  const UINT dpi = window ? ::GetDpiForWindow(window) : 0;
  return dpi ? dpi : 96;
}

HFONT CreateMessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) return nullptr;
  return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

RECT OwnerWorkArea(HWND owner) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &info);
  return info.rcWork;
}

void SizeAndCentre(HWND window, int clientWidth, int clientHeight, const RECT& work) {
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  RECT rect{0, 0, clientWidth, clientHeight};
  ::AdjustWindowRectExForDpi(&rect, style, FALSE, exStyle, WindowDpi(window));
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  const int left = work.left + std::max(0, static_cast<int>(work.right - work.left - width) / 2);
  const int top = work.top + std::max(0, static_cast<int>(work.bottom - work.top - height) / 2);
  ::SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void RunModal(HWND window, HWND owner, const bool& done) {
  const bool disabled = owner && ::IsWindowEnabled(owner);
  if (disabled) ::EnableWindow(owner, FALSE);
  while (!done) {
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!::IsDialogMessageW(window, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (disabled) ::EnableWindow(owner, TRUE);
  ::DestroyWindow(window);
}

bool RegisterDialogWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (::GetClassInfoExW(instance, className, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  return ::RegisterClassExW(&wc) != 0;
}

void MoveToSuggestedRect(HWND window, SIZE client, UINT dpi, const RECT& suggested) {
  RECT rect{0, 0, client.cx, client.cy};
  ::AdjustWindowRectExForDpi(&rect, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
  ::SetWindowPos(window, nullptr, suggested.left, suggested.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace valmora
