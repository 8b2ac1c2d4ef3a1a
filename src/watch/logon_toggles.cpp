#include "watch/logon_toggles.h"

namespace valmora {

void LogonToggles::WatchModeClicked() {
  const bool pressed = !services_.view.IsWatchModePressed();
  services_.view.SetWatchModePressed(pressed);
  WatchModeChanged(pressed);
}

void LogonToggles::ReopenOnRestartClicked() {
  const bool pressed = !services_.view.IsReopenOnRestartPressed();
  services_.view.SetReopenOnRestartPressed(pressed);
  ReopenOnRestartChanged(pressed);
}

void LogonToggles::Release(bool watchToggle) {
  MainView& view = services_.view;
  if (watchToggle ? !view.IsWatchModePressed() : !view.IsReopenOnRestartPressed()) return;
  if (watchToggle) {
    view.SetWatchModePressed(false);
    WatchModeChanged(false);
  } else {
    view.SetReopenOnRestartPressed(false);
    ReopenOnRestartChanged(false);
  }
}

void LogonToggles::WatchModeChanged(bool pressed) {
  if (services_.blnLoading) return;
  GoState& state = services_.state;
  if (pressed) {
    services_.logon.RegisterWatch();
    Release(false);
    if (!services_.blnCmdLineMode) {
      state.blnKeepShown = true;
      state.blnWatching = true;
      services_.watch.InitWatch();
      services_.scanner.Go(kQuietScan);
      services_.watch.EnableTimer();
    }
  } else {
    if (state.blnWatching && !services_.blnCmdLineMode) services_.watch.Leave();
    services_.logon.UnregisterWatch();
  }
}

void LogonToggles::ReopenOnRestartChanged(bool pressed) {
  if (services_.blnLoading) return;
  if (pressed) {
    if (services_.state.blnWatching) services_.watch.Leave();  // also in a /watch run
    services_.logon.RegisterReopen();
    Release(true);
  } else {
    services_.logon.UnregisterReopen();
  }
}

}  // namespace valmora
