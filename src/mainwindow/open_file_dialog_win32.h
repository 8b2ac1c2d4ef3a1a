// The platform's open-file dialog, for one existing file of any path length.
#pragma once

#include <windows.h>

#include "mainwindow/commands.h"

namespace valmora {

class Win32OpenFileDialog final : public OpenFileDialog {
 public:
  explicit Win32OpenFileDialog(HWND owner) : owner_(owner) {}
  std::wstring Choose(const std::wstring& title, const std::wstring& filter) override;

 private:
  HWND owner_;
};

}  // namespace valmora
