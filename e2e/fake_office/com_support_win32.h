// The program's own COM owners, and UTF-8 conversions, for the fake server
// and the e2e driver that talks to it.
#pragma once

#include <windows.h>

#include <string>

#include "library/com_win32.h"

namespace fake_office {

using valmora::Bstr;
using valmora::ComApartment;
using valmora::ComPtr;
using valmora::Variant;

// VBA_E_IGNORE: what a busy Excel answers an automation call with, as the
// call's result or as the scode of DISP_E_EXCEPTION.
inline constexpr HRESULT kVbaIgnore = static_cast<HRESULT>(0x800AC472);

inline std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(length, L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
  return text;
}

inline std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(length, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace fake_office
