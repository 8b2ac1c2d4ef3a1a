#include "startup/startup.h"

#include "doclog/open_doc_log.h"
#include "library/text.h"
#include "mainwindow/log_summary.h"
#include "msgbox/help_text.h"
#include "startup/command_line.h"
#include "watch/logon.h"

namespace valmora {
namespace {

// Centred across, a quarter of the free height down. Sizes are whole twips,
// so the division alone is left of the rule; it goes toward zero, also for a
// window larger than the screen.
void PlaceWindow(MainView& view) {
  const TwipSize screen = view.ScreenSize();
  const TwipSize window = view.WindowSize();
  view.MoveTo((screen.width - window.width) / 2, (screen.height - window.height) / 4);
}

// Step 10: offer the reopen when the log lists at least one entry of any kind.
bool OfferReopen(const std::wstring& summary, StartupServices& services) {
  if (summary.empty() || CountOccurrences(summary, L"none", Compare::Text) >= kLogSummaryKinds) return false;
  return services.questions && services.questions->AskYesNo(kStartupQuestion, 5, true);
}

}  // namespace

std::wstring LogFilePath(const MainState& state, FileSystem& fs) {
  const std::wstring name = L"\\" + state.exeBaseName + L".txt";
  if (state.perUserFolder.empty() || fs.CanCreateFilesIn(state.exeFolder)) return state.exeFolder + name;
  // Where neither can be written, the first write says so.
  if (!fs.CreateFolder(state.perUserFolder)) return state.exeFolder + name;
  return state.perUserFolder + name;
}

std::wstring LogPlaceNote(const MainState& state) {
  const std::wstring besideExe = state.exeFolder + L"\\" + state.exeBaseName + L".txt";
  return state.strLogFile == besideExe ? L"" : L"Log: " + state.strLogFile;
}

StartupOutcome RunStartup(MainState& state, StartupServices& services) {
  MainView& view = services.view;

  const CommandLineRun run = MatchCommandLine(state.commandLine);
  state.objMutex = services.createGuard();
  if (!state.objMutex || state.objMutex->InstExists()) {
    // A start the user made shows the one that runs, hidden in the tray as
    // it may be; the unattended runs end without a trace.
    if (state.objMutex && run != CommandLineRun::Shutdown && run != CommandLineRun::Reopen) view.ShowRunningInstance();
    view.Close();
    return StartupOutcome::Ended;
  }

  state.strLogFile = LogFilePath(state, services.fs);
  const OpenDocLog log(state.strLogFile, services.fs, services.locale);

  if (run == CommandLineRun::Shutdown) {
    if (services.scanner) {
      services.scanner->Go(kQuietScan);
      services.scanner->InShutdown();
    }
    view.Close();
    return StartupOutcome::Ended;
  }

  state.blnLoading = true;
  PlaceWindow(view);

  bool blnReopenRun = false;
  std::wstring cmdLineCaption;
  switch (run) {
    case CommandLineRun::Reopen:
      blnReopenRun = true;
      cmdLineCaption = L"Reopen mode set via commandline";
      state.blnCmdLineMode = true;
      break;
    case CommandLineRun::Watch:
      state.blnWatching = true;
      cmdLineCaption = L"Watch mode set via commandline";
      state.blnCmdLineMode = true;
      break;
    case CommandLineRun::Invalid:
      view.ShowStandardMessage(L"Commandline is invalid", MessageIcon::Exclamation);
      view.ShowStandardMessage(HelpText(state.exeBaseName), MessageIcon::None);
      view.Close();
      return StartupOutcome::Ended;
    default:
      break;
  }
  // A log that is not beside the exe is looked for there first: say where it is.
  if (const std::wstring note = LogPlaceNote(state); !note.empty()) {
    cmdLineCaption += (cmdLineCaption.empty() ? L"" : L"; ") + note;
  }
  if (!cmdLineCaption.empty()) view.SetCmdLineCaption(cmdLineCaption);

  LogonRegistration logon(services.registry, state.exeFolder, state.exeBaseName);
  if (logon.IsWatchRegistered()) {
    view.SetWatchModePressed(true);
    if (!blnReopenRun) state.blnWatching = true;
  } else if (logon.IsReopenRegistered()) {
    view.SetReopenOnRestartPressed(true);
  }

  if (state.blnWatching && services.watch) services.watch->InitWatch();

  if (!blnReopenRun && !state.blnWatching) {
    view.SetMsg1Caption(GetLogSummary(log));
  } else {
    // A watch run offers the reopen too, also one the registration chose at
    // logon: its first scan would otherwise overwrite, before Office has
    // started, the list the end of the last session saved.
    bool reopen = false;
    if (state.blnWatching || !view.IsWatchModePressed()) {
      const std::wstring summary = GetLogSummary(log);
      view.SetMsg1Caption(summary);
      view.Display();
      reopen = OfferReopen(summary, services);
    }
    if (blnReopenRun) {
      if (reopen && services.scanner) services.scanner->Go(kStartupReopen);
      logon.UnregisterReopen();
      view.Close();
      return StartupOutcome::Ended;
    }
    // The ticks start whatever the reopen has to say: at an unattended logon
    // its notice waits for its countdown while the list is kept current.
    if (services.watch) services.watch->EnableTimer();
    if (services.scanner) {
      if (reopen) services.scanner->Go(kStartupReopen);
      services.scanner->Go(kQuietScan);
    }
  }

  state.blnLoading = false;
  view.Display();
  return StartupOutcome::Running;
}

}  // namespace valmora
