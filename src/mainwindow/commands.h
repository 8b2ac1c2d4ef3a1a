// What frmMain's buttons do: the rescan that keeps hand-added files, the
// reopen of everything or of one kind, the list of unsaved documents.
#pragma once

#include <functional>
#include <string>

#include "doclog/go.h"
#include "doclog/locale.h"
#include "doclog/log_write_report.h"
#include "library/file_system.h"
#include "library/shell.h"
#include "mainwindow/main_view.h"

namespace valmora {

// The platform's standard message box, asked Yes or No.
class StandardQuestion {
 public:
  virtual ~StandardQuestion() = default;
  // defaultYes: the button Enter presses.
  virtual bool AskYesNo(const std::wstring& text, bool defaultYes) = 0;
};

// The platform's open-file dialog for one existing file.
class OpenFileDialog {
 public:
  virtual ~OpenFileDialog() = default;
  // The chosen file's full path (of any length), or "" on Cancel. filter is
  // in the platform's form: description, NUL, pattern, NUL.
  virtual std::wstring Choose(const std::wstring& title, const std::wstring& filter) = 0;
};

// "<description> (*.<extension>)", NUL, "*.<extension>", NUL.
std::wstring FileFilter(const std::wstring& description, const std::wstring& extension);

inline constexpr wchar_t kManualAddTitle[] = L"Choose file to add to reopen log";

inline constexpr wchar_t kRetainQuestion[] =
    L"There are manually added non-office files in the current log. Do you wish to retain these?";

struct CommandServices {
  GoState& state;
  DocumentScanner& scanner;
  const std::wstring& logPath;
  FileSystem& fs;
  const Locale& locale;
  MainView& view;
  StandardQuestion& question;
  OpenFileDialog& fileDialog;
  Shell& shell;
  LogWriteReport& writeReport;
  const std::wstring& exeBaseName;
  // The commands that belong to other parts of the program (the toggles,
  // the tray's Restore, the external command, About, Exit).
  std::function<void(MainCommand command, bool shiftDown)> others;
};

class MainWindowCommands final : public MainCommands {
 public:
  explicit MainWindowCommands(CommandServices services) : services_(services) {}

  // Commands that are not built yet do nothing.
  void OnCommand(MainCommand command, bool shiftDown) override;

  // The rescan that carries the hand-added files over, asking first when
  // pblnAskToKeepNonOffice is set.
  void GetCurr(bool pblnAskToKeepNonOffice);
  // "Re&open Now", or "Reopen &Previous Session" with kReopenPreviousSession.
  void ReopenAll(const GoFlags& reopen = kReopenAll);
  void ReopenPrevious();
  // A file chosen by hand goes into the log, then the rescan keeps it.
  void ManualAdd();
  void OpenLog();

 private:
  void ShowLogSummaryIf(bool manualEntriesKept);

  CommandServices services_;
};

}  // namespace valmora
