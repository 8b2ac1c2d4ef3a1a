#include "startup/program_exit.h"

#include <utility>

namespace valmora {

void ProgramExit::CloseBox() {
  if (services_.state.blnWatching && !ending_) {
    services_.watch.HideToTray();
    return;
  }
  End();
}

void ProgramExit::Exit() { End(); }

void ProgramExit::End() {
  if (ending_) return;
  ending_ = true;
  services_.watch.DisableTimer();
  services_.scanner.Stop([this] { services_.view.EndProgram(); });
}

void ProgramExit::QueryEndSession(bool closeApp) {
  // The next logon reopens the log: it must hold what is open now.
  const bool saves = services_.state.blnWatching || services_.view.ReopensAtLogon();
  if (!saves || closeApp || ending_ || sessionEnding_) return;
  sessionEnding_ = true;
  services_.watch.DisableTimer();
  services_.scanner.Stop();
  services_.view.BlockSessionEnd(true);
  services_.scanner.InShutdown();
  services_.view.BlockSessionEnd(false);
}

void ProgramExit::EndSession(bool ending) {
  if (ending) {
    End();
    return;
  }
  if (!std::exchange(sessionEnding_, false) || ending_) return;
  services_.scanner.Resume();
  if (services_.state.blnWatching) services_.watch.EnableTimer();
}

void ProgramExit::Unload() {
  services_.watch.Leave();
  services_.state.objMutex.reset();
}

}  // namespace valmora
