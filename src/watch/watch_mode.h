// Watch mode: a quiet scan on a timer, an icon in the notification area,
// and the main window out of sight until the user calls it back.
#pragma once

#include <string>

#include "doclog/go.h"

namespace valmora {

inline constexpr int kDefaultWatchSeconds = 90;

// The interval a "/watch=" (exact letter case, first occurrence) asks for;
// the default when there is none or it is not a whole number above 0.
int WatchIntervalSeconds(const std::wstring& commandLine);

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  virtual void Add() = 0;  // the platform may refuse for a while: the icon keeps trying
  virtual void Remove() = 0;
  virtual bool IsShown() const = 0;  // really in the notification area, not only asked for
};

class WatchTimer {
 public:
  virtual ~WatchTimer() = default;
  virtual void SetInterval(int seconds) = 0;
  virtual void Enable(bool enabled) = 0;  // tmrWatch
};

// What watch mode does with frmMain.
class WatchWindow {
 public:
  virtual ~WatchWindow() = default;
  virtual void Display() = 0;
  virtual bool IsMinimised() const = 0;
  virtual bool IsHidden() const = 0;
  // On the taskbar, not activated: the way back while there is no icon.
  virtual void Minimise() = 0;
  virtual void MinimiseAndHide() = 0;
  // Normal state, in the foreground, displayed.
  virtual void Restore() = 0;
  virtual void ShowTrayMenu() = 0;  // the "&SysTray" popup at the pointer
};

// What start-up needs of watch mode.
class WatchControl {
 public:
  virtual ~WatchControl() = default;
  virtual void InitWatch() = 0;
  virtual void EnableTimer() = 0;  // tmrWatch
};

enum class IconEvent { LeftButtonUp, DoubleClick, RightButtonUp };

struct WatchServices {
  GoState& state;
  const std::wstring& commandLine;
  TrayIcon& icon;
  WatchTimer& timer;
  WatchWindow& window;
  DocumentScanner& scanner;
};

class WatchMode final : public WatchControl {
 public:
  explicit WatchMode(WatchServices services) : services_(services) {}

  // Interval from the command line, then the icon; neither enables the
  // timer nor sets blnWatching: the callers do.
  void InitWatch() override;
  void CreateTrayIcon();
  void EnableTimer() override { services_.timer.Enable(true); }
  void DisableTimer() { services_.timer.Enable(false); }
  void Tick() { services_.scanner.Go(kQuietScan); }
  void OnIconEvent(IconEvent event);
  // The icon came or went on its own (a retry, the taskbar's restart).
  void IconChanged();
  void Restore();  // also "Restore" of the popup menu
  // The close box while watching: hide, keep the icon, scan once. Without
  // an icon the window is only minimised, and the icon is tried again.
  void HideToTray();
  // Timer off, icon gone; the window keeps its visibility.
  void Leave();

 private:
  WatchServices services_;
};

}  // namespace valmora
