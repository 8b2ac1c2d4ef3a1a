// The notification area as Wine's shell keeps it, seen from outside the
// program that put its icon there, and a taskbar that is not ready yet.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace e2e {

// True when the shell holds an icon of that window and id (a change of
// nothing succeeds only for an icon that exists).
bool HasNotificationIcon(HWND owner, UINT id);
// What the shell is left with after Explorer restarted: the icon is gone
// and its owner is not told.
void DropNotificationIcon(HWND owner, UINT id);
// The tips of every icon in the notification area, read from the shell's
// own tooltips.
std::vector<std::wstring> NotificationIconTips();
// The window that shows the icons, for a screenshot.
HWND NotificationAreaWindow();

// A taskbar of the driver's own, found before Wine's, that refuses every
// icon: what a program sees early at logon, before Explorer is ready.
class RefusingTaskbar {
 public:
  RefusingTaskbar();
  ~RefusingTaskbar();  // Wine's taskbar answers again
  RefusingTaskbar(const RefusingTaskbar&) = delete;
  RefusingTaskbar& operator=(const RefusingTaskbar&) = delete;

  bool Ready() const { return window_ != nullptr; }
  // The icon adds it has refused so far.
  int RefusedAdds() const;

 private:
  void Run();

  HWND window_ = nullptr;
  HANDLE ready_;
  std::thread thread_;
};

}  // namespace e2e
