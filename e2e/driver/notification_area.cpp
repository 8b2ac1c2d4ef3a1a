#include "notification_area.h"

#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <optional>

#include "harness.h"
#include "library/unique_handle_win32.h"

namespace e2e {
namespace {

NOTIFYICONDATAW Identity(HWND owner, UINT id) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = id;
  return data;
}

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t actual[64];
  return ::GetClassNameW(window, actual, 64) && _wcsicmp(actual, name) == 0;
}

// Wine's shell gives every icon a window of its own (drawn by the X11 driver
// in Wine 8, by Explorer in later versions) and a tooltip that holds the tip,
// owned by the icon's top-level window.
struct Windows {
  std::vector<HWND> icons;
  std::vector<HWND> tooltips;
};

BOOL CALLBACK Collect(HWND window, LPARAM lParam) {
  auto& found = *reinterpret_cast<Windows*>(lParam);
  if (HasClass(window, L"__winex11_tray_icon") || HasClass(window, L"__wine_tray_icon")) found.icons.push_back(window);
  if (HasClass(window, TOOLTIPS_CLASSW)) found.tooltips.push_back(window);
  return TRUE;
}

// The tooltip keeps its text in the shell's process: ask for it there.
// Nothing when the tooltip has no such tool.
std::optional<std::wstring> TooltipText(HWND tooltip, HWND tool) {
  struct Request {
    TTTOOLINFOW info;
    wchar_t text[1024];
  };
  DWORD processId = 0;
  ::GetWindowThreadProcessId(tooltip, &processId);
  valmora::UniqueKernelHandle process(
      ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  if (!process) return L"<shell not readable>";
  auto* remote = static_cast<Request*>(
      ::VirtualAllocEx(process.get(), nullptr, sizeof(Request), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!remote) return L"<shell not readable>";
  Request local{};
  local.info.cbSize = sizeof local.info;
  local.info.uFlags = TTF_IDISHWND;
  local.info.hwnd = tool;
  local.info.uId = reinterpret_cast<UINT_PTR>(tool);
  local.info.lpszText = remote->text;
  std::optional<std::wstring> text = L"<shell not readable>";
  std::optional<LRESULT> found;
  if (::WriteProcessMemory(process.get(), remote, &local, sizeof local, nullptr) &&
      (found = SendBounded(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(remote)))) {
    text.reset();
    if (*found && ::ReadProcessMemory(process.get(), remote->text, local.text, sizeof local.text, nullptr)) {
      local.text[std::size(local.text) - 1] = L'\0';
      text = local.text;
    }
  }
  ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
  return text;
}

std::atomic<int> refusedAdds{0};

LRESULT CALLBACK RefusingProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    if (reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData == NIM_ADD) ++refusedAdds;
    return FALSE;
  }
  if (msg == WM_CLOSE) {
    ::DestroyWindow(window);
    return 0;
  }
  if (msg == WM_DESTROY) ::PostQuitMessage(0);
  return ::DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

bool HasNotificationIcon(HWND owner, UINT id) {
  NOTIFYICONDATAW data = Identity(owner, id);
  return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void DropNotificationIcon(HWND owner, UINT id) {
  NOTIFYICONDATAW data = Identity(owner, id);
  ::Shell_NotifyIconW(NIM_DELETE, &data);
}

std::vector<std::wstring> NotificationIconTips() {
  Windows found;
  ::EnumChildWindows(::GetDesktopWindow(), Collect, reinterpret_cast<LPARAM>(&found));
  std::vector<std::wstring> tips;
  for (HWND icon : found.icons) {
    for (HWND tooltip : found.tooltips) {
      const HWND owner = ::GetWindow(tooltip, GW_OWNER);
      if (owner != icon && owner != ::GetAncestor(icon, GA_ROOT)) continue;
      if (auto tip = TooltipText(tooltip, icon)) tips.push_back(*tip);
    }
  }
  return tips;
}

HWND NotificationAreaWindow() {
  HWND standalone = ::FindWindowW(L"__winex11_standalone_tray", nullptr);  // no taskbar under X
  return standalone ? standalone : ::FindWindowW(L"Shell_TrayWnd", nullptr);
}

RefusingTaskbar::RefusingTaskbar() : ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  refusedAdds = 0;
  thread_ = std::thread([this] { Run(); });
  ::WaitForSingleObject(ready_, 10000);
}

RefusingTaskbar::~RefusingTaskbar() {
  if (window_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
  thread_.join();
  ::CloseHandle(ready_);
}

int RefusingTaskbar::RefusedAdds() const { return refusedAdds; }

void RefusingTaskbar::Run() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = RefusingProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Shell_TrayWnd";
  ::RegisterClassW(&windowClass);
  // Topmost, so a search for the taskbar meets this one before Wine's.
  window_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
  ::SetEvent(ready_);
  if (!window_) return;
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  ::UnregisterClassW(L"Shell_TrayWnd", windowClass.hInstance);
}

}  // namespace e2e
