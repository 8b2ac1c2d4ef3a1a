#include "library/shell_win32.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "library/system_message_win32.h"

namespace valmora {
namespace {

// Joins a single-threaded apartment only when the thread has none, and
// leaves it again: a thread that already chose its apartment keeps it.
class ApartmentForCall {
 public:
  ApartmentForCall() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ApartmentForCall() {
    if (SUCCEEDED(result_)) ::CoUninitialize();  // S_FALSE too: the call counted
  }
  ApartmentForCall(const ApartmentForCall&) = delete;
  ApartmentForCall& operator=(const ApartmentForCall&) = delete;

 private:
  HRESULT result_;
};

bool Execute(const std::wstring& target, int show) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // NOASYNC: the handler has been started (and a DDE conversation ended)
  // when this returns, so items start in the order asked and a run that
  // ends right after a reopen loses none. FLAG_NO_UI: an unattended reopen
  // at logon or shutdown must not stop at the shell's own "no program" or
  // error box; the callers report what the user needs to know.
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = nullptr;
  info.lpVerb = L"open";
  info.lpFile = target.c_str();
  info.lpParameters = nullptr;
  info.lpDirectory = nullptr;
  info.nShow = show;
  return ::ShellExecuteExW(&info) != FALSE;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// The shell takes no path of MAX_PATH characters or more, though the file
// system does; the short (8.3) form names the same file where the volume
// keeps one. Empty when there is none, or it is no shorter than the limit.
std::wstring ShortForm(const std::wstring& path) {
  std::wstring extended;
  if (StartsWith(path, L"\\\\?\\")) {
    extended = path;
  } else if (StartsWith(path, L"\\\\")) {
    extended = L"\\\\?\\UNC\\" + path.substr(2);
  } else if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
    extended = L"\\\\?\\" + path;
  } else {
    return {};  // an address, or not a full path
  }
  std::wstring shortPath(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetShortPathNameW(extended.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0) return {};
    if (length < shortPath.size()) {
      shortPath.resize(length);
      break;
    }
    shortPath.resize(length);  // too small: length is the size needed
  }
  if (StartsWith(shortPath, L"\\\\?\\UNC\\")) {
    shortPath = L"\\\\" + shortPath.substr(8);
  } else if (StartsWith(shortPath, L"\\\\?\\")) {
    shortPath = shortPath.substr(4);
  }
  return shortPath.size() < MAX_PATH ? shortPath : std::wstring();
}

}  // namespace

ShellOpen Win32Shell::Open(const std::wstring& target, ShowWindowAs show) {
  // An empty target would open the current folder.
  if (target.empty()) return {false, SystemMessage(ERROR_FILE_NOT_FOUND)};
  ApartmentForCall apartment;
  const int command = show == ShowWindowAs::Maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  if (Execute(target, command)) return {};
  const DWORD error = ::GetLastError();
  if (target.size() >= MAX_PATH) {
    const std::wstring shortForm = ShortForm(target);
    if (!shortForm.empty() && Execute(shortForm, command)) return {};
  }
  return {false, SystemMessage(error)};
}

}  // namespace valmora
