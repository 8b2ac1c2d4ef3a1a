// frmMain as the core drives it.
#pragma once

#include <string>

namespace valmora {

struct TwipSize {
  long width = 0;
  long height = 0;
};

enum class MessageIcon { None, Exclamation };

// Every button, menu entry and clickable picture of frmMain.
enum class MainCommand {
  GetCurr,             // cmdGetCurr
  Reopen,              // cmdReopen
  ReopenExcelOnly,     // cmdReopenExcelOnly
  ReopenWordOnly,      // cmdReopenWordOnly
  ReopenPowerPointOnly,
  ReopenOutlookOnly,   // cmdReopenOutlookOnly
  ReopenNonOffOnly,    // cmdReopenNonOffOnly
  ExecuteCmd,          // cmdExecuteCmd
  Exit,                // cmdExit and mnuFileExit
  ListUnsavedDocs,     // cmdListUnsavedDocs
  WatchMode,           // cmdWatchMode
  ReopenOnRestart,     // cmdReopenOnRestart
  FileManualAdd,       // mnuFileManualAdd
  FileOpenLog,         // mnuFileOpenLog
  FileReopenPrevious,  // the last session's list
  HelpHelp,            // mnuHelpHelp
  HelpAbout,           // mnuHelpAbout
  PopupRestore,        // mnuPopupRestore
  Copyright,           // imgCopyright
};

// Where frmMain sends its clicks. shiftDown: the Shift key's state when the
// click happened, not when it is handled.
class MainCommands {
 public:
  virtual ~MainCommands() = default;
  virtual void OnCommand(MainCommand command, bool shiftDown) = 0;
};

class MainView {
 public:
  virtual ~MainView() = default;
  virtual void SetCmdLineCaption(const std::wstring& text) = 0;   // lblCmdLine
  virtual void SetMsg1Caption(const std::wstring& text) = 0;      // lblMsg1
  virtual void SetWatchModePressed(bool pressed) = 0;             // cmdWatchMode
  virtual bool IsWatchModePressed() const = 0;
  virtual void SetReopenOnRestartPressed(bool pressed) = 0;       // cmdReopenOnRestart
  virtual bool IsReopenOnRestartPressed() const = 0;
  virtual TwipSize ScreenSize() const = 0;
  virtual TwipSize WindowSize() const = 0;
  virtual void MoveTo(long leftTwips, long topTwips) = 0;
  virtual void Display() = 0;
  // Closing from code ends the program.
  virtual void Close() = 0;
  // Brings the instance that already runs to the front (restored, visible,
  // foreground), as its notification icon's "Restore" does.
  virtual void ShowRunningInstance() = 0;
  // The platform's standard message box with an OK button, titled "Valmora".
  virtual void ShowStandardMessage(const std::wstring& text, MessageIcon icon) = 0;
};

}  // namespace valmora
