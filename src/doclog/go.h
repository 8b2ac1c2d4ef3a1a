// The central call into scanning and reopening, as its callers see it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace valmora {

struct GoFlags {
  bool pblnGetCurr = false;
  bool pblnWatch = false;
  bool pblnInShutdown = false;
  bool pblnListUnsaved = false;
  bool pblnReopenE = false;
  bool pblnReopenW = false;
  bool pblnReopenP = false;  // PowerPoint
  bool pblnReopenO = false;
  bool pblnReopenN = false;
  // An overwrite scan carries the hand-added lines over in the same write,
  // unless the user has just said not to keep them (GetCurr's No).
  bool dropManualEntries = false;
  // The reopen reads the last session's list instead of the log.
  bool previousSession = false;

  friend bool operator==(const GoFlags&, const GoFlags&) = default;
};

// Scan quietly and overwrite the log (watch tick, /shutdown, watch start).
inline constexpr GoFlags kQuietScan{.pblnGetCurr = true, .pblnWatch = true};
// Reopen every logged item ("Re&open Now").
inline constexpr GoFlags kReopenAll{
    .pblnReopenE = true, .pblnReopenW = true, .pblnReopenP = true, .pblnReopenO = true, .pblnReopenN = true};
// The same from the last session's list ("Reopen &Previous Session").
inline constexpr GoFlags kReopenPreviousSession{.pblnReopenE = true,
                                                .pblnReopenW = true,
                                                .pblnReopenP = true,
                                                .pblnReopenO = true,
                                                .pblnReopenN = true,
                                                .previousSession = true};
// The same, as start-up does after a Yes.
inline constexpr GoFlags kStartupReopen{.pblnWatch = true,
                                        .pblnReopenE = true,
                                        .pblnReopenW = true,
                                        .pblnReopenP = true,
                                        .pblnReopenO = true,
                                        .pblnReopenN = true};
// Both scans of InShutdown: quiet, merged into the previous log.
inline constexpr GoFlags kShutdownScan{.pblnGetCurr = true, .pblnWatch = true, .pblnInShutdown = true};

// frmMain's state that Go reads (watch mode) and writes (never-saved flags).
struct GoState {
  bool blnWatching = false;
  bool blnKeepShown = false;
  bool trayIconShown = false;  // the shell really shows the notification icon
  bool blnNewExcel = false;
  bool blnNewWord = false;
  bool blnNewPowerPoint = false;
  bool blnNewOutlook = false;
};

// What Go reads and changes on frmMain.
class ScanView {
 public:
  virtual ~ScanView() = default;
  virtual std::wstring Msg1Caption() const = 0;
  virtual void SetMsg1Caption(const std::wstring& text) = 0;  // lblMsg1
  virtual void SetListUnsavedEnabled(bool enabled) = 0;       // cmdListUnsavedDocs
  virtual void SetTrayTip(const std::wstring& tip) = 0;       // the notification icon's tip
  virtual void HideWindow() = 0;
  // The hourglass on screen while Go works; the message box's own busy
  // pointer state is left alone.
  virtual void SetScreenBusy(bool busy) = 0;
  // Shown above every other window while a reopen runs, so that what it
  // opens does not bury it; normal again when the reopen ends.
  virtual void SetTopmost(bool topmost) = 0;
  // Go's waits let clicks through: while it runs, what would start a second
  // command is locked.
  virtual void SetGoRunning(bool running) = 0;
};

// Asked before each step of a running Go: true once the program is ending,
// and the step must not be taken.
using StopRequested = std::function<bool()>;

// What a reopen leaves for Go: the log lines it handed to the shell, in the
// log's order, and, from a reopen nobody may be watching (at logon), what it
// could not do, to be said once it is over.
struct ReopenOutcome {
  std::vector<std::wstring> handedOver;
  std::wstring notice;
};

// The reopen phase, run by Go when it is not asked to scan.
class ReopenPhase {
 public:
  virtual ~ReopenPhase() = default;
  virtual ReopenOutcome Reopen(const GoFlags& flags, const StopRequested& stopped) = 0;
};

class DocumentScanner {
 public:
  virtual ~DocumentScanner() = default;
  virtual void Go(const GoFlags& flags) = 0;
  virtual void InShutdown() = 0;
};

}  // namespace valmora
