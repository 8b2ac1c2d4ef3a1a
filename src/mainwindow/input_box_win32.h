// The program's own input box: the platform has no standard one.
#pragma once

#include <windows.h>

#include "mainwindow/external_command.h"

namespace valmora {

class Win32InputBox final : public InputBox {
 public:
  // owner: the program's main window (may be hidden, or nullptr); the box is
  // centred on its monitor and keeps it disabled while shown.
  Win32InputBox(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}
  std::wstring Ask(const std::wstring& prompt, const std::wstring& title, const std::wstring& defaultText) override;

 private:
  HINSTANCE instance_;
  HWND owner_;
};

}  // namespace valmora
