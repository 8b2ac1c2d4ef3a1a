#include "mainwindow/open_file_dialog_win32.h"

#include <commdlg.h>

#include <vector>

namespace valmora {
namespace {

// Room for the longest path the system takes (\\?\ and long path aware).
constexpr DWORD kPathBufferLength = 32768;

}  // namespace

std::wstring Win32OpenFileDialog::Choose(const std::wstring& title, const std::wstring& filter) {
  std::vector<wchar_t> file(kPathBufferLength, L'\0');
  // The filter ends in one NUL of its own; c_str() adds the list's final one.
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner_ && ::IsWindow(owner_) ? owner_ : nullptr;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kPathBufferLength;
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  // No change of the current folder: a command started later must not
  // depend on where the user last browsed.
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetOpenFileNameW(&ofn)) return {};  // Cancel, or the dialog failed
  return std::wstring(file.data());
}

}  // namespace valmora
