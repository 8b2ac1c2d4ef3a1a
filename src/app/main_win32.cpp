// Entry point: wires the Windows implementations into the core.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <vector>

#include "doclog/locale_win32.h"
#include "doclog/reopen.h"
#include "doclog/scanner.h"
#include "library/pause.h"
#include "library/shell_win32.h"
#include "library/file_system_win32.h"
#include "library/registry_win32.h"
#include "mainwindow/main_window_win32.h"
#include "msgbox/message_boxes.h"
#include "msgbox/msgbox_window_win32.h"
#include "startup/command_line.h"
#include "startup/instance_guard_win32.h"
#include "startup/startup.h"

namespace {

std::wstring ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // long paths
  }
}

void SplitModulePath(valmora::MainState& state) {
  const std::wstring path = ModulePath();
  const std::size_t slash = path.find_last_of(L"\\/");
  state.exeFolder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  state.exeBaseName = dot == std::wstring::npos ? name : name.substr(0, dot);
}

// Stands in until the automation client is wired: every application reads
// as not running, so scans write the log with what else it holds.
class NoOffice : public valmora::OfficeAutomation {
 public:
  valmora::AppSnapshot Gather(valmora::OfficeApp) override { return {}; }
  valmora::OutlookLookup FindOutlookItem(const std::wstring&) override { return {}; }
};

int RunMessageLoop(valmora::frmMain& window) {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.TranslateDialogKeys(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

// The UI thread's apartment, for the shell and everything COM it uses.
class Apartment {
 public:
  Apartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~Apartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

 private:
  HRESULT result_;
};

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  Apartment apartment;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&controls);

  valmora::frmMain window;
  if (!window.Create(instance)) return 1;

  valmora::MainState state;
  SplitModulePath(state);
  state.commandLine = valmora::ArgumentsAfterProgram(::GetCommandLineW());

  valmora::BusyPointer pointer(
      [](bool busy) { ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW)); });
  valmora::frmMsgBox msgBoxWindow(instance, window.Handle());
  valmora::MessageBoxes messageBoxes(msgBoxWindow, pointer);

  valmora::Win32RegistryApi registry;
  valmora::Win32FileSystem fs;
  valmora::Win32Locale locale;
  valmora::Win32Clock clock;
  NoOffice office;
  valmora::Win32Shell shell;
  valmora::Reopener reopener({office, state.strLogFile, fs, locale, window, messageBoxes, shell,
                              [](std::int32_t milliseconds) { valmora::Pause(milliseconds, true); }});
  valmora::Scanner scanner(state, {office, state.strLogFile, fs, locale, clock, window, messageBoxes, &reopener});
  valmora::StartupServices services{
      [] { return std::make_unique<valmora::lib_clsMutex>(); }, window, registry, fs, locale,
      // InitWatch is not built yet: nothing wired.
      &scanner, nullptr, &messageBoxes};
  if (valmora::RunStartup(state, services) == valmora::StartupOutcome::Ended) return 0;
  valmora::Win32FileSystem::RemoveStaleTemporary(state.strLogFile);
  return RunMessageLoop(window);
}
