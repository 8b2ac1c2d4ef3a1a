// The application's main window, of the class Office's own has ("XLMAIN"),
// so a client that looks for Office by its window finds the server. It is
// never shown: no taskbar button, nothing on a screenshot.
#pragma once

#include <windows.h>

#include <string>

#include "library/unique_handle_win32.h"
#include "server_files_win32.h"

namespace fake_office {

struct WindowTraits {
  using Type = HWND;
  static HWND Invalid() { return nullptr; }
  static void Close(HWND window) { ::DestroyWindow(window); }
};
using UniqueWindow = valmora::UniqueHandle<WindowTraits>;

class WindowClassRegistration {
 public:
  explicit WindowClassRegistration(const wchar_t* className);
  ~WindowClassRegistration();
  WindowClassRegistration(const WindowClassRegistration&) = delete;
  WindowClassRegistration& operator=(const WindowClassRegistration&) = delete;
  bool Registered() const { return atom_ != 0; }

 private:
  ATOM atom_ = 0;
  std::wstring name_;
};

class MainWindow {
 public:
  // Made on the thread that pumps messages, which then owns it. A window that
  // cannot be made is logged; the server serves on without it.
  MainWindow(const wchar_t* className, const std::wstring& title, const ServerLog& log);
  HWND get() const { return window_.get(); }

 private:
  WindowClassRegistration class_;  // outlives the window: members end in reverse order
  UniqueWindow window_;
};

}  // namespace fake_office
