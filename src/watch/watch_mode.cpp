#include "watch/watch_mode.h"

#include <string>

#include "library/text.h"

namespace valmora {

int WatchIntervalSeconds(const std::wstring& commandLine) {
  const std::size_t at = commandLine.find(L"/watch=");
  if (at == std::wstring::npos) return kDefaultWatchSeconds;
  const std::wstring value = TrimWhiteSpace(commandLine.substr(at + 7));
  // Whole digits up to the end, as the switch is the last thing on the line;
  // anything else, or a number that is 0 or absurdly large, keeps the default.
  if (value.empty() || value.size() > 6) return kDefaultWatchSeconds;
  for (wchar_t c : value) {
    if (c < L'0' || c > L'9') return kDefaultWatchSeconds;
  }
  const int seconds = std::stoi(value);
  return seconds > 0 ? seconds : kDefaultWatchSeconds;
}

void WatchMode::InitWatch() {
  services_.timer.SetInterval(WatchIntervalSeconds(services_.commandLine));
  CreateTrayIcon();
}

void WatchMode::CreateTrayIcon() {
  if (services_.icon.IsShown()) return;
  services_.window.Display();
  services_.icon.Add();
  services_.state.trayIconShown = services_.icon.IsShown();
  if (services_.window.IsMinimised() && services_.state.trayIconShown) services_.window.MinimiseAndHide();
}

// A hidden window without an icon could never be called back; a minimised
// one that waited for the icon goes where it would have gone at once.
void WatchMode::IconChanged() {
  const bool shown = services_.icon.IsShown();
  if (shown == services_.state.trayIconShown) return;
  services_.state.trayIconShown = shown;
  WatchWindow& window = services_.window;
  if (!shown && window.IsHidden()) {
    window.Minimise();
  } else if (shown && window.IsMinimised() && !services_.state.blnKeepShown) {
    window.MinimiseAndHide();
  }
}

void WatchMode::OnIconEvent(IconEvent event) {
  switch (event) {
    case IconEvent::LeftButtonUp:
    case IconEvent::DoubleClick: Restore(); break;
    case IconEvent::RightButtonUp: services_.window.ShowTrayMenu(); break;
  }
}

void WatchMode::Restore() {
  services_.window.Restore();
  services_.state.blnKeepShown = true;
}

void WatchMode::HideToTray() {
  if (!services_.icon.IsShown()) services_.icon.Add();
  services_.state.trayIconShown = services_.icon.IsShown();
  if (services_.state.trayIconShown) {
    services_.window.MinimiseAndHide();
  } else {
    services_.window.Minimise();
  }
  services_.scanner.Go(kQuietScan);
  services_.state.blnKeepShown = false;
}

void WatchMode::Leave() {
  services_.timer.Enable(false);
  services_.icon.Remove();
  services_.state.trayIconShown = false;
  services_.state.blnWatching = false;
}

}  // namespace valmora
