// How the program ends: the close box, "E&xit", the end of the Windows
// session, and what goes when the window does.
#pragma once

#include "doclog/scanner.h"
#include "startup/startup.h"
#include "watch/watch_mode.h"

namespace valmora {

// What ending the program needs of frmMain.
class ExitView {
 public:
  virtual ~ExitView() = default;
  // Closes the window once the message at hand has been handled, never from
  // under the code that runs now: the program ends.
  virtual void EndProgram() = 0;
  // The reason Windows shows while the program holds up the session's end.
  virtual void BlockSessionEnd(bool blocked) = 0;
  // "&Reopen at Lg" is pressed: the next logon reopens what the log holds.
  virtual bool ReopensAtLogon() const = 0;
};

struct ExitServices {
  MainState& state;
  Scanner& scanner;
  WatchMode& watch;
  ExitView& view;
};

// Every end takes one path: a Go under way stops at its next step, nothing
// more is opened, scanned or written, and the window closes once it has
// returned. The end of the session in watch mode saves the list first.
class ProgramExit {
 public:
  explicit ProgramExit(ExitServices services) : services_(services) {}

  // The close box, the system menu, Alt+F4, the task manager: in watch mode
  // the window hides to the notification area, otherwise the program ends.
  void CloseBox();
  // "E&xit" and its menu entry, in every mode, without a scan.
  void Exit();
  // WM_QUERYENDSESSION. In watch mode, and unless an installer's restart
  // manager only closes the program (closeApp), InShutdown runs in full
  // before this returns; no timer scan runs from here on.
  void QueryEndSession(bool closeApp);
  // WM_ENDSESSION: the program ends, or, when the end was called off, goes
  // on as before.
  void EndSession(bool ending);
  // The window is gone: the icon goes, and the guard is released at once so
  // that a start right after this one is not refused.
  void Unload();

 private:
  void End();

  ExitServices services_;
  bool ending_ = false;
  bool sessionEnding_ = false;
};

}  // namespace valmora
