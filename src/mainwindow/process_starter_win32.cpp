#include "mainwindow/process_starter_win32.h"

#include <windows.h>

#include <vector>

#include "library/system_message_win32.h"
#include "library/unique_handle_win32.h"

namespace valmora {

std::optional<std::wstring> Win32ProcessStarter::Start(const std::wstring& commandLine) {
  // Blanks before the program's name are no part of it, yet make the system
  // look for a program named with them; the rest goes over unchanged.
  const std::size_t first = commandLine.find_first_not_of(L" \t");
  const std::wstring line = first == std::wstring::npos ? std::wstring() : commandLine.substr(first);
  // CreateProcessW may write into the command line, so it gets a copy.
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return SystemMessage(::GetLastError());
  }
  // Not waited for; the handles are only closed.
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  return std::nullopt;
}

}  // namespace valmora
