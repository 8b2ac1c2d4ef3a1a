// Shows Valmora's small dialogs and starts processes through the real
// Windows implementations, for the e2e tests.
//   dialogs_probe.exe inputbox OUT PROMPT DEFAULT [TIMES]  OUT: a line per text returned
//   dialogs_probe.exe openfile OUT [TIMES]                 OUT: a line per path returned
//   dialogs_probe.exe start OUT COMMANDLINE                OUT: "started" or "failed: <reason>"
//   dialogs_probe.exe about OUT [TIMES]                    OUT: a line per link opened, "closed"
//   dialogs_probe.exe showstate OUT                        OUT: how it was asked to show its window
// TIMES shows the box that many times, one after the other, to save starts.
// OUT is UTF-8. The owner is a window titled "Valmora", as the program's is.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library/utf.h"
#include "mainwindow/commands.h"
#include "mainwindow/input_box_win32.h"
#include "mainwindow/open_file_dialog_win32.h"
#include "mainwindow/process_starter_win32.h"
#include "msgbox/about_box_win32.h"
#include "msgbox/about_links.h"
#include "msgbox/file_version_win32.h"

namespace {

void Write(const std::wstring& path, const std::wstring& text, bool append = false) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  out << valmora::ToUtf8(text);
}

// Records what the About box's links would open instead of opening it.
class RecordingShell final : public valmora::Shell {
 public:
  explicit RecordingShell(std::wstring path) : path_(std::move(path)) {}
  valmora::ShellOpen Open(const std::wstring& target, valmora::ShowWindowAs) override {
    Write(path_, target + L"\n", true);
    return {};
  }

 private:
  std::wstring path_;
};

int Times(const std::vector<std::wstring>& args, std::size_t at) {
  return args.size() > at ? std::max(1, _wtoi(args[at].c_str())) : 1;
}

HWND CreateOwner(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"ValmoraDialogsProbeMain";
  ::RegisterClassExW(&wc);
  HWND main = ::CreateWindowExW(0, wc.lpszClassName, L"Valmora", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 300,
                                120, nullptr, nullptr, instance, nullptr);
  ::ShowWindow(main, SW_SHOWNORMAL);
  return main;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  ::LocalFree(argv);
  const std::wstring& command = args[0];
  const std::wstring& out = args[1];

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  HWND main = CreateOwner(instance);
  int status = 0;

  if (command == L"inputbox" && args.size() >= 4) {
    valmora::Win32InputBox box(instance, main);
    Write(out, L"");
    for (int i = Times(args, 4); i > 0; --i) Write(out, box.Ask(args[2], L"Valmora", args[3]) + L"\n", true);
  } else if (command == L"openfile") {
    valmora::Win32OpenFileDialog dialog(main);
    Write(out, L"");
    for (int i = Times(args, 2); i > 0; --i) {
      Write(out, dialog.Choose(valmora::kManualAddTitle, valmora::FileFilter(L"All types", L"*")) + L"\n", true);
    }
  } else if (command == L"start" && args.size() == 3) {
    valmora::Win32ProcessStarter starter;
    const auto reason = starter.Start(args[2]);
    Write(out, reason ? L"failed: " + *reason : L"started");
  } else if (command == L"showstate") {  // started by "start": no window of its own needed
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    const bool given = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
    Write(out, given ? std::to_wstring(startup.wShowWindow) : L"none");
  } else if (command == L"about") {
    RecordingShell shell(out);
    Write(out, L"");
    HICON icon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    for (int i = Times(args, 2); i > 0; --i) {
      valmora::ShowAboutBox(main, shell, L"Valmora", valmora::ProgramVersionText(), valmora::kCompany,
                            valmora::kHomeHost, valmora::kSupportEmail, L"Valmora Enquiry", icon);
      Write(out, L"closed\n", true);
    }
    if (icon) ::DestroyIcon(icon);
  } else {
    status = 2;
  }
  ::DestroyWindow(main);
  return status;
}
