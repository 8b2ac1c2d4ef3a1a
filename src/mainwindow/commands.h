// What frmMain's buttons do: the rescan that keeps hand-added files, the
// reopen of everything or of one kind, the list of unsaved documents.
#pragma once

#include <string>

#include "doclog/go.h"
#include "doclog/locale.h"
#include "library/file_system.h"
#include "mainwindow/main_view.h"

namespace valmora {

// The platform's standard message box, asked Yes or No.
class StandardQuestion {
 public:
  virtual ~StandardQuestion() = default;
  virtual bool AskYesNo(const std::wstring& text) = 0;
};

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
};

class MainWindowCommands final : public MainCommands {
 public:
  explicit MainWindowCommands(CommandServices services) : services_(services) {}

  // Commands that are not built yet do nothing.
  void OnCommand(MainCommand command, bool shiftDown) override;

  // The rescan that carries the hand-added files over, asking first when
  // pblnAskToKeepNonOffice is set.
  void GetCurr(bool pblnAskToKeepNonOffice);
  void ReopenAll();

 private:
  // Appends the kept lines after a rescan and shows the status summary.
  void PutBack(const std::wstring& manualEntries);

  CommandServices services_;
};

}  // namespace valmora
