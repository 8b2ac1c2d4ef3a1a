#include "watch/tray_icon_win32.h"

#include <shellapi.h>

#include <cwchar>

namespace valmora {
namespace {

constexpr UINT kRetryMilliseconds = 2000;
constexpr int kRetries = 30;  // a minute: enough for a slow logon

}  // namespace

Win32TrayIcon::Win32TrayIcon(HWND window, HICON icon)
    : window_(window), icon_(icon), taskbarCreated_(::RegisterWindowMessageW(L"TaskbarCreated")) {}

Win32TrayIcon::~Win32TrayIcon() { Remove(); }

NOTIFYICONDATAW Win32TrayIcon::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon_;
  std::wcsncpy(data.szTip, tip_.c_str(), std::size(data.szTip) - 1);
  return data;
}

bool Win32TrayIcon::TryAdd() {
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
  if (!::Shell_NotifyIconW(NIM_ADD, &data)) {
    // Left over from before a restart of the taskbar: take it over.
    if (!::Shell_NotifyIconW(NIM_MODIFY, &data)) return false;
  }
  data.uVersion = NOTIFYICON_VERSION_4;
  version4_ = ::Shell_NotifyIconW(NIM_SETVERSION, &data) != FALSE;
  added_ = true;
  return true;
}

void Win32TrayIcon::Add() {
  wanted_ = true;
  if (added_ || TryAdd()) return;
  retriesLeft_ = kRetries;
  ::SetTimer(window_, kRetryTimerId, kRetryMilliseconds, nullptr);
}

void Win32TrayIcon::Remove() {
  wanted_ = false;
  ::KillTimer(window_, kRetryTimerId);
  if (!added_) return;
  NOTIFYICONDATAW data = Data(0);
  ::Shell_NotifyIconW(NIM_DELETE, &data);
  added_ = false;
}

void Win32TrayIcon::SetTip(const std::wstring& tip) {
  tip_ = tip.substr(0, 127);
  if (!added_) return;
  NOTIFYICONDATAW data = Data(NIF_TIP | NIF_SHOWTIP);
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Win32TrayIcon::SetIcon(HICON icon) {
  icon_ = icon;
  if (!added_) return;
  NOTIFYICONDATAW data = Data(NIF_ICON);
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

bool Win32TrayIcon::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, std::optional<IconEvent>& event) {
  event.reset();
  if (msg == taskbarCreated_) {  // Explorer started again: every icon is gone
    added_ = false;
    if (wanted_) Add();
    return true;
  }
  if (msg == WM_TIMER && wParam == kRetryTimerId) {
    if (!wanted_ || TryAdd() || --retriesLeft_ <= 0) ::KillTimer(window_, kRetryTimerId);
    return true;
  }
  if (msg != kCallbackMessage) return false;
  // Version 4 puts the event in the low word and the icon's id in the high
  // word; the older callback sends the mouse message alone.
  const UINT what = version4_ ? LOWORD(lParam) : static_cast<UINT>(lParam);
  if (version4_ && HIWORD(lParam) != kIconId) return true;
  switch (what) {
    case NIN_SELECT:
    case NIN_KEYSELECT: event = IconEvent::LeftButtonUp; break;
    case WM_LBUTTONUP:
      if (!version4_) event = IconEvent::LeftButtonUp;  // version 4 reports it as NIN_SELECT
      break;
    case WM_LBUTTONDBLCLK: event = IconEvent::DoubleClick; break;
    case WM_CONTEXTMENU: event = IconEvent::RightButtonUp; break;
    case WM_RBUTTONUP:
      if (!version4_) event = IconEvent::RightButtonUp;  // version 4 reports it as WM_CONTEXTMENU
      break;
    default: break;
  }
  return true;
}

}  // namespace valmora
