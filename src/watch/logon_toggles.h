// The two toggles of frmMain: "&Watch Mode" (a Run value, and watch mode at
// once) and "&Reopen at Lg" (a RunOnce value). Pressing one releases the other.
#pragma once

#include "doclog/go.h"
#include "mainwindow/main_view.h"
#include "watch/logon.h"
#include "watch/watch_mode.h"

namespace valmora {

struct ToggleServices {
  const bool& blnLoading;      // start-up only shows the registrations
  const bool& blnCmdLineMode;  // a /watch or /reopen run: the toggles change only the registration
  GoState& state;
  MainView& view;
  LogonRegistration& logon;
  WatchMode& watch;
  DocumentScanner& scanner;
};

class LogonToggles {
 public:
  explicit LogonToggles(ToggleServices services) : services_(services) {}

  // A click: the toggle changes state, then its handler runs.
  void WatchModeClicked();
  void ReopenOnRestartClicked();

 private:
  // The handlers run whenever a toggle's state changes, by a click or by
  // the other toggle releasing it.
  void WatchModeChanged(bool pressed);
  void ReopenOnRestartChanged(bool pressed);
  void Release(bool watchToggle);

  ToggleServices services_;
};

}  // namespace valmora
