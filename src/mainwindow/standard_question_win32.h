// The platform's standard message box, asked Yes or No, titled "Valmora".
#pragma once

#include <windows.h>

#include "mainwindow/commands.h"

namespace valmora {

class Win32StandardQuestion final : public StandardQuestion {
 public:
  explicit Win32StandardQuestion(HWND owner) : owner_(owner) {}
  bool AskYesNo(const std::wstring& text, bool defaultYes) override {
    const UINT type = MB_YESNO | MB_ICONQUESTION | (defaultYes ? MB_DEFBUTTON1 : MB_DEFBUTTON2);
    return ::MessageBoxW(owner_, text.c_str(), L"Valmora", type) == IDYES;
  }

 private:
  HWND owner_;
};

}  // namespace valmora
