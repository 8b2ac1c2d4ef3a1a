#include "main_window_win32.h"

namespace fake_office {

WindowClassRegistration::WindowClassRegistration(const wchar_t* className) : name_(className) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = name_.c_str();
  atom_ = ::RegisterClassExW(&windowClass);
}

WindowClassRegistration::~WindowClassRegistration() {
  if (atom_) ::UnregisterClassW(name_.c_str(), ::GetModuleHandleW(nullptr));
}

MainWindow::MainWindow(const wchar_t* className, const std::wstring& title, const ServerLog& log) : class_(className) {
  if (!class_.Registered()) {
    log.Write("cannot register the main window class, error " + std::to_string(::GetLastError()));
    return;
  }
  // Without WS_VISIBLE it stays hidden; a tool window would get no taskbar
  // button even if something showed it.
  window_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW, className, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
  if (!window_) log.Write("cannot create the main window, error " + std::to_string(::GetLastError()));
}

}  // namespace fake_office
