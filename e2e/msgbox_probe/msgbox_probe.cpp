// Shows timed message box requests the way Valmora does, for the e2e tests.
//   msgbox_probe.exe ANSWERS REQUEST [REQUEST ...]
// A REQUEST is packed as the program packs it: type, countdown in four
// characters, text. The first is shown at once; each later one is made from
// a timer tick while the box is up, as a watch tick would. Every answer is
// appended to ANSWERS as "<number> Yes" or "<number> No" once its call returns.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <fstream>
#include <filesystem>
#include <string>
#include <vector>

#include "msgbox/message_boxes.h"
#include "msgbox/msgbox_request.h"
#include "msgbox/msgbox_window_win32.h"

namespace {

struct Probe {
  valmora::MessageBoxes* boxes = nullptr;
  std::vector<std::wstring> requests;
  std::wstring answers;
  std::size_t next = 0;

  void Ask(std::size_t index) {
    const valmora::MsgBoxRequestParts parts = valmora::ParseMsgBoxRequest(requests[index]);
    bool answer = false;
    switch (parts.type) {
      case 2: boxes->ShowWarning(parts.text, parts.countDown); answer = boxes->MsgBoxAnswer; break;
      case 3: boxes->ShowInfo(parts.text, parts.countDown); answer = boxes->MsgBoxAnswer; break;
      case 4: answer = boxes->AskYesNo(parts.text, parts.countDown, true); break;
      case 5: answer = boxes->AskYesNo(parts.text, parts.countDown, false); break;
      default:
        boxes->ShowMsgBox(requests[index].substr(0, 1), parts.text, parts.countDown);
        answer = boxes->MsgBoxAnswer;
        break;
    }
    std::ofstream(std::filesystem::path(answers), std::ios::app | std::ios::binary)
        << index + 1 << (answer ? " Yes" : " No") << "\n";
  }
};

Probe probe;

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && probe.next < probe.requests.size()) {
    if (probe.next + 1 == probe.requests.size()) ::KillTimer(hwnd, 1);
    probe.Ask(probe.next++);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  probe.answers = argv[1];
  for (int i = 2; i < argc; ++i) probe.requests.push_back(argv[i]);
  ::LocalFree(argv);

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"ValmoraProbeMain";
  ::RegisterClassExW(&wc);
  // Titled like the program, since the box takes its title from this window.
  HWND main = ::CreateWindowExW(0, wc.lpszClassName, L"Valmora", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 300,
                                120, nullptr, nullptr, instance, nullptr);
  ::ShowWindow(main, SW_SHOWNORMAL);

  valmora::BusyPointer pointer;
  valmora::frmMsgBox window(instance, main);
  valmora::MessageBoxes boxes(window, pointer);
  probe.boxes = &boxes;
  if (probe.requests.size() > 1) ::SetTimer(main, 1, 700, nullptr);
  probe.Ask(probe.next++);
  // Later requests may still be waiting on the stack of a timer tick.
  while (probe.next < probe.requests.size()) {
    MSG msg;
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ::DestroyWindow(main);
  return 0;
}
