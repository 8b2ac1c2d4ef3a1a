#include "mainwindow/process_starter_win32.h"

#include <windows.h>

#include <vector>

#include "library/unique_handle_win32.h"

namespace valmora {

std::wstring SystemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return text.empty() ? L"Error " + std::to_wstring(code) : text;
}

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
    return SystemErrorText(::GetLastError());
  }
  // Not waited for; the handles are only closed.
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  return std::nullopt;
}

}  // namespace valmora
