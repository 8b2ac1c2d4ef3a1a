// frmAbout: the program's name and version, its maker, the web and e-mail links.
#pragma once

#include <windows.h>

#include <string>

#include "library/shell.h"

namespace valmora {

// Shows frmAbout modally over owner (may be hidden, or nullptr) and returns
// when it is closed. The links open through shell. icon may be nullptr; the
// box draws its own copy at the box's DPI.
void ShowAboutBox(HWND owner, Shell& shell, const std::wstring& pstrName, const std::wstring& pstrVersion,
                  const std::wstring& pstrCompany, const std::wstring& pstrHome, const std::wstring& pstrEmail,
                  const std::wstring& pstrSubject, HICON picIcon);

}  // namespace valmora
