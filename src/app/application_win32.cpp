#include "app/application_win32.h"

#include <commctrl.h>
#include <objbase.h>

#include <optional>
#include <vector>

#include "app/resource.h"
#include "doclog/locale_win32.h"
#include "office/office_win32.h"
#include "doclog/previous_log.h"
#include "doclog/reopen.h"
#include "doclog/scanner.h"
#include "library/com_win32.h"
#include "library/file_system_win32.h"
#include "library/module_path_win32.h"
#include "library/pause.h"
#include "library/registry_win32.h"
#include "library/shell_win32.h"
#include "library/unique_handle_win32.h"
#include "mainwindow/commands.h"
#include "mainwindow/external_command.h"
#include "mainwindow/input_box_win32.h"
#include "mainwindow/open_file_dialog_win32.h"
#include "mainwindow/process_starter_win32.h"
#include "mainwindow/settings_store.h"
#include "mainwindow/main_window_win32.h"
#include "mainwindow/standard_question_win32.h"
#include "msgbox/about_box_win32.h"
#include "msgbox/about_links.h"
#include "msgbox/file_version_win32.h"
#include "msgbox/message_boxes.h"
#include "msgbox/msgbox_window_win32.h"
#include "startup/command_line.h"
#include "startup/instance_guard_win32.h"
#include "startup/program_exit.h"
#include "startup/startup.h"
#include "watch/logon_toggles.h"
#include "watch/tray_icon_win32.h"
#include "watch/watch_mode.h"
#include "watch/watch_timer_win32.h"

namespace valmora {
namespace {

// Asked to end before ordinary applications (Office), so the session-end
// scan still sees their documents.
constexpr DWORD kShutdownLevel = 0x3FF;

void SplitModulePath(MainState& state) {
  const std::wstring path = ModulePath();
  const std::size_t slash = path.find_last_of(L"\\/");
  state.exeFolder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  state.exeBaseName = dot == std::wstring::npos ? name : name.substr(0, dot);
}

// What watch mode does with the main window.
class MainWatchWindow final : public WatchWindow {
 public:
  explicit MainWatchWindow(frmMain& window) : window_(window) {}
  void Display() override { window_.Display(); }
  bool IsMinimised() const override { return ::IsIconic(window_.Handle()) != FALSE; }
  bool IsHidden() const override { return ::IsWindowVisible(window_.Handle()) == FALSE; }
  void Minimise() override { ::ShowWindow(window_.Handle(), SW_SHOWMINNOACTIVE); }
  void MinimiseAndHide() override {
    ::ShowWindow(window_.Handle(), SW_MINIMIZE);
    ::ShowWindow(window_.Handle(), SW_HIDE);
  }
  void Restore() override {
    HWND hwnd = window_.Handle();
    ::ShowWindow(hwnd, SW_RESTORE);
    ::SetForegroundWindow(hwnd);
    ::ShowWindow(hwnd, SW_SHOW);
  }
  void ShowTrayMenu() override {
    HWND hwnd = window_.Handle();
    POINT at{};
    ::GetCursorPos(&at);
    ::SetForegroundWindow(hwnd);  // so that the menu closes when the user clicks elsewhere
    ::TrackPopupMenuEx(window_.PopupMenu(), TPM_RIGHTBUTTON, at.x, at.y, hwnd, nullptr);
    ::PostMessageW(hwnd, WM_NULL, 0, 0);
  }

 private:
  frmMain& window_;
};

// Posted, so the window never closes under the code that asked for it.
constexpr UINT kEndProgramMessage = WM_APP + 2;

class MainExitWindow final : public ExitView {
 public:
  MainExitWindow(HWND hwnd, const frmMain& window) : hwnd_(hwnd), window_(window) {}
  void EndProgram() override { ::PostMessageW(hwnd_, kEndProgramMessage, 0, 0); }
  void BlockSessionEnd(bool blocked) override {
    if (blocked) {
      ::ShutdownBlockReasonCreate(hwnd_, L"Saving the list of open documents");
    } else {
      ::ShutdownBlockReasonDestroy(hwnd_);
    }
  }
  bool ReopensAtLogon() const override { return window_.IsReopenOnRestartPressed(); }

 private:
  HWND hwnd_;
  const frmMain& window_;
};

HICON LoadSmallIcon(HINSTANCE instance) {
  return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_VALMORA), IMAGE_ICON,
                                         ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
}

int RunMessageLoop(frmMain& window) {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.TranslateDialogKeys(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int RunValmora(HINSTANCE instance) {
  // The UI thread's apartment, for the shell and everything COM it uses.
  const ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  ::SetProcessShutdownParameters(kShutdownLevel, 0);
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&controls);

  frmMain window;
  if (!window.Create(instance)) return 1;
  HWND hwnd = window.Handle();

  MainState state;
  SplitModulePath(state);
  if (const std::wstring local = LocalAppDataFolder(); !local.empty() && !state.exeBaseName.empty()) {
    state.perUserFolder = local + L"\\" + state.exeBaseName;
  }
  state.commandLine = ArgumentsAfterProgram(::GetCommandLineW(), ModulePath());

  BusyPointer pointer([](bool busy) { ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW)); });
  frmMsgBox msgBoxWindow(instance, hwnd);
  MessageBoxes messageBoxes(msgBoxWindow, pointer);

  Win32RegistryApi registry;
  Win32FileSystem systemFiles;
  PreviousLogKeeper fs(systemFiles, state.strLogFile);  // the last session's list, before the first write
  Win32Locale locale;
  Win32Clock clock;
  Win32OfficeAutomation office;
  Win32Shell shell;
  Reopener reopener({office, state.strLogFile, fs, locale, window, messageBoxes, shell,
                     [](std::int32_t milliseconds) { Pause(milliseconds, true); }});
  LogWriteReport writeReport(messageBoxes);
  Scanner scanner(state, {office, state.strLogFile, fs, locale, clock, window, messageBoxes, &reopener, &writeReport});

  UniqueIcon trayImage(LoadSmallIcon(instance));
  Win32TrayIcon tray(hwnd, trayImage.get());
  window.SetTrayTipSink([&tray](const std::wstring& tip) { tray.SetTip(tip); });
  Win32WatchTimer timer(hwnd);
  MainWatchWindow watchWindow(window);
  WatchMode watch({state, state.commandLine, tray, timer, watchWindow, scanner});
  LogonRegistration logon(registry, state.exeFolder, state.exeBaseName);
  LogonToggles toggles({state.blnLoading, state.blnCmdLineMode, state, window, logon, watch, scanner});
  MainExitWindow exitWindow(hwnd, window);
  ProgramExit programExit({state, scanner, watch, exitWindow});

  Win32StandardQuestion standardQuestion(hwnd);
  Win32OpenFileDialog fileDialog(hwnd);
  RegistrySettingsStore settings(registry);
  Win32InputBox inputBox(instance, hwnd);
  Win32ProcessStarter processes;
  ExternalCommand externalCommand({settings, inputBox, standardQuestion, processes, messageBoxes,
                                   [hwnd] { ::SetForegroundWindow(hwnd); }});
  UniqueIcon aboutIcon(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_VALMORA), IMAGE_ICON, 32, 32, 0)));
  MainWindowCommands commands({state, scanner, state.strLogFile, fs, locale, window, standardQuestion, fileDialog,
                               shell, writeReport, state.exeBaseName, [&](MainCommand command, bool shiftDown) {
                                 switch (command) {
                                   case MainCommand::WatchMode: toggles.WatchModeClicked(); break;
                                   case MainCommand::ReopenOnRestart: toggles.ReopenOnRestartClicked(); break;
                                   case MainCommand::PopupRestore: watch.Restore(); break;
                                   case MainCommand::Exit: programExit.Exit(); break;
                                   case MainCommand::ExecuteCmd: externalCommand.Clicked(shiftDown); break;
                                   case MainCommand::HelpAbout:
                                     ShowAboutBox(hwnd, shell, state.exeBaseName, ProgramVersionText(), kCompany,
                                                  kHomeHost, kSupportEmail, state.exeBaseName + L" Enquiry",
                                                  aboutIcon.get());
                                     break;
                                   default: break;
                                 }
                               }});
  window.SetCommands(&commands);

  window.SetMessageHook([&](UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    std::optional<IconEvent> event;
    if (tray.HandleMessage(msg, wParam, lParam, event)) {
      watch.IconChanged();
      if (event) watch.OnIconEvent(*event);
      return 0;
    }
    switch (msg) {
      case WM_TIMER:
        if (wParam != Win32WatchTimer::kTimerId) break;
        watch.Tick();
        return 0;
      case WM_CLOSE:  // the close box, Alt+F4, the task manager
        programExit.CloseBox();
        return 0;
      case WM_QUERYENDSESSION:
        programExit.QueryEndSession((lParam & ENDSESSION_CLOSEAPP) != 0);
        return TRUE;
      case WM_ENDSESSION:
        programExit.EndSession(wParam != FALSE);
        return 0;
      case kEndProgramMessage:
        window.Close();
        return 0;
      case WM_DESTROY:  // the window's own handling follows: the message loop ends
        programExit.Unload();
        break;
      default:
        break;
    }
    return std::nullopt;
  });

  StartupServices services{[] { return std::make_unique<lib_clsMutex>(); },
                           window, registry, fs, locale, &scanner, &watch, &messageBoxes};
  // Office keeps what a vanished client held for minutes: let the workers
  // of the last scans release it before the process ends.
  constexpr std::chrono::milliseconds kReleaseWait{2000};
  if (RunStartup(state, services) == StartupOutcome::Ended) {
    office.WaitForWorkers(kReleaseWait);
    return 0;
  }
  Win32FileSystem::RemoveStaleTemporary(state.strLogFile);
  Win32FileSystem::RemoveStaleTemporary(PreviousLogPath(state.strLogFile));
  const int exitCode = RunMessageLoop(window);
  office.WaitForWorkers(kReleaseWait);
  return exitCode;
}

}  // namespace valmora
