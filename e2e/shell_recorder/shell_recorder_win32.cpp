// The e2e tier's stand-in "open" handler and external program: each start
// appends what it was asked to open, and how to show it, to its record.
#include <windows.h>

#include <string>
#include <vector>

#include "library/unique_handle_win32.h"
#include "record_format.h"
#include "library/module_path_win32.h"
#include "startup/command_line.h"

namespace {


std::wstring ShowCommand() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoW(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_wstring(startup.wShowWindow) : L"default";
}

std::uint64_t CreationTime() {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Recorders started together take turns: each holds the record alone while
// it appends, and waits a while for the others (and for a reader).
bool Append(const std::wstring& path, const std::string& line) {
  for (int tries = 0; tries < 3000; ++tries) {
    valmora::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      LARGE_INTEGER end{};
      DWORD written = 0;
      return ::SetFilePointerEx(file.get(), end, nullptr, FILE_END) &&
             ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
             written == line.size();
    }
    const DWORD error = ::GetLastError();
    // Access denied: a record being deleted by the driver, gone in a moment.
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return false;
    ::Sleep(10);
  }
  return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  shell_recorder::RecordedRequest request;
  request.target = shell_recorder::RequestFromArguments(valmora::ArgumentsAfterProgram(::GetCommandLineW()));
  request.show = ShowCommand();
  request.started = CreationTime();
  return Append(shell_recorder::RecordPathFor(valmora::ModulePath()), shell_recorder::FormatRecordLine(request)) ? 0 : 1;
}
