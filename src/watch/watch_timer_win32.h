// tmrWatch: a window timer that ticks on the UI thread.
#pragma once

#include <windows.h>

#include "watch/watch_mode.h"

namespace valmora {

class Win32WatchTimer final : public WatchTimer {
 public:
  static constexpr UINT_PTR kTimerId = 0x7100;

  explicit Win32WatchTimer(HWND window) : window_(window) {}
  ~Win32WatchTimer() override { ::KillTimer(window_, kTimerId); }

  void SetInterval(int seconds) override {
    seconds_ = seconds;
    if (enabled_) Enable(true);  // a running timer takes the new interval
  }
  void Enable(bool enabled) override {
    enabled_ = enabled;
    if (enabled) {
      ::SetTimer(window_, kTimerId, static_cast<UINT>(seconds_) * 1000u, nullptr);
    } else {
      ::KillTimer(window_, kTimerId);
    }
  }

 private:
  HWND window_;
  int seconds_ = kDefaultWatchSeconds;
  bool enabled_ = false;
};

}  // namespace valmora
