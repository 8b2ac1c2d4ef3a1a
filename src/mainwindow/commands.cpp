#include "mainwindow/commands.h"

#include "doclog/manual_entries.h"
#include "doclog/open_doc_log.h"
#include "doclog/previous_log.h"
#include "mainwindow/log_summary.h"
#include "msgbox/about_links.h"
#include "msgbox/help_text.h"

namespace valmora {
namespace {

constexpr GoFlags kInteractiveScan{.pblnGetCurr = true};
constexpr GoFlags kInteractiveScanDroppingManual{.pblnGetCurr = true, .dropManualEntries = true};
constexpr GoFlags kListUnsavedScan{.pblnGetCurr = true, .pblnListUnsaved = true};

}  // namespace

void MainWindowCommands::OnCommand(MainCommand command, bool shiftDown) {
  DocumentScanner& scanner = services_.scanner;
  switch (command) {
    case MainCommand::GetCurr: GetCurr(true); break;
    case MainCommand::Reopen: ReopenAll(); break;
    case MainCommand::ReopenExcelOnly: scanner.Go({.pblnReopenE = true}); break;
    case MainCommand::ReopenWordOnly: scanner.Go({.pblnReopenW = true}); break;
    case MainCommand::ReopenPowerPointOnly: scanner.Go({.pblnReopenP = true}); break;
    case MainCommand::ReopenOutlookOnly: scanner.Go({.pblnReopenO = true}); break;
    case MainCommand::ReopenNonOffOnly: scanner.Go({.pblnReopenN = true}); break;
    case MainCommand::ListUnsavedDocs: scanner.Go(kListUnsavedScan); break;
    case MainCommand::FileManualAdd: ManualAdd(); break;
    case MainCommand::FileOpenLog: OpenLog(); break;
    case MainCommand::FileReopenPrevious: ReopenPrevious(); break;
    case MainCommand::HelpHelp:
      services_.view.ShowStandardMessage(HelpText(services_.exeBaseName), MessageIcon::None);
      break;
    case MainCommand::Copyright:  // a bare host name is no address the shell can open
      services_.shell.Open(HomeLinkTarget(kHomeHost), ShowWindowAs::Normal);
      break;
    default:
      if (services_.others) services_.others(command, shiftDown);
      break;
  }
}

std::wstring FileFilter(const std::wstring& description, const std::wstring& extension) {
  std::wstring filter = description + L" (*." + extension + L")";
  filter += L'\0';
  filter += L"*." + extension;
  filter += L'\0';
  return filter;
}

void MainWindowCommands::ManualAdd() {
  const std::wstring path = services_.fileDialog.Choose(kManualAddTitle, FileFilter(L"All types", L"*"));
  if (!path.empty() && !OpenDocLog(services_.logPath, services_.fs, services_.locale).AppendLine(path)) {
    services_.writeReport.NotAdded(path, services_.logPath, services_.fs.LastWriteError());
  }
  GetCurr(false);  // also after Cancel
}

void MainWindowCommands::OpenLog() {
  const OpenDocLog log(services_.logPath, services_.fs, services_.locale);
  if (log.Exists()) {
    services_.shell.Open(services_.logPath, ShowWindowAs::Normal);
  } else {  // the user looks for it: say where it will be
    services_.view.ShowStandardMessage(L"No list has been saved yet. It will be kept in\r\n" + services_.logPath,
                                       MessageIcon::None);
  }
}

void MainWindowCommands::GetCurr(bool pblnAskToKeepNonOffice) {
  const OpenDocLog log(services_.logPath, services_.fs, services_.locale);
  std::optional<std::wstring> manualEntries = GatherManualEntries(log);
  if (!manualEntries) {
    services_.view.SetMsg1Caption(LogUnreadableMessage(services_.logPath));
    return;
  }
  if (!manualEntries->empty() && pblnAskToKeepNonOffice &&
      !services_.question.AskYesNo(std::wstring(kRetainQuestion) + L"\r\n\r\nFiles:\r\n" + *manualEntries, true)) {
    services_.scanner.Go(kInteractiveScanDroppingManual);
    return;
  }
  services_.scanner.Go(kInteractiveScan);  // carries the hand-added files over
  ShowLogSummaryIf(!manualEntries->empty());
}

// The rescan after the reopen carries the hand-added files over; the log is
// read first so that one it cannot read is neither reopened nor rewritten.
void MainWindowCommands::ReopenAll(const GoFlags& reopen) {
  const OpenDocLog log(services_.logPath, services_.fs, services_.locale);
  const std::optional<std::wstring> manualEntries = GatherManualEntries(log);
  if (!manualEntries) {
    services_.view.SetMsg1Caption(LogUnreadableMessage(services_.logPath));
    return;
  }
  services_.scanner.Go(reopen);
  services_.state.blnKeepShown = !services_.state.trayIconShown;
  services_.scanner.Go(kQuietScan);
  ShowLogSummaryIf(!manualEntries->empty());
}

// The list the log held before this run first wrote it, reopened as the log is.
void MainWindowCommands::ReopenPrevious() {
  if (!FileExists(services_.fs, PreviousLogPath(services_.logPath))) {
    services_.view.SetMsg1Caption(L"No list of an earlier session has been kept yet.");
    return;
  }
  ReopenAll(kReopenPreviousSession);
}

// With hand-added files in it, the label sums up the whole log rather than
// what the scan found open.
void MainWindowCommands::ShowLogSummaryIf(bool manualEntriesKept) {
  if (!manualEntriesKept) return;
  services_.view.SetMsg1Caption(GetLogSummary(OpenDocLog(services_.logPath, services_.fs, services_.locale)));
}

}  // namespace valmora
