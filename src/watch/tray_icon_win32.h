// The notification icon on Windows, identified by window and id.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "watch/watch_mode.h"

namespace valmora {

class Win32TrayIcon final : public TrayIcon {
 public:
  // A message of its own: the window's mouse-move message would take
  // ordinary mouse movement for icon clicks.
  static constexpr UINT kCallbackMessage = WM_APP + 1;
  static constexpr UINT kIconId = 1;
  static constexpr UINT_PTR kRetryTimerId = 0x7101;

  Win32TrayIcon(HWND window, HICON icon);
  ~Win32TrayIcon() override;
  Win32TrayIcon(const Win32TrayIcon&) = delete;
  Win32TrayIcon& operator=(const Win32TrayIcon&) = delete;

  // An add the shell refused (early at logon, or no taskbar yet) is retried
  // for a while, and Explorer's restart puts the icon back; only an icon the
  // shell took counts as shown.
  void Add() override;
  void Remove() override;
  bool IsShown() const override { return added_; }
  // The Unicode tip holds 127 characters; longer text is cut.
  void SetTip(const std::wstring& tip);
  void SetIcon(HICON icon);

  // The window's messages that concern the icon: the callback, the retry
  // timer and "TaskbarCreated". True when it was one of them; `event` then
  // says what the user did, if anything.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, std::optional<IconEvent>& event);

 private:
  NOTIFYICONDATAW Data(UINT flags) const;
  bool TryAdd();

  HWND window_;
  HICON icon_;
  std::wstring tip_;
  UINT taskbarCreated_;
  bool wanted_ = false;
  bool added_ = false;
  bool version4_ = false;
  int retriesLeft_ = 0;
};

}  // namespace valmora
