#include "doclog/scanner.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

#include "doclog/log_line.h"
#include "doclog/office_apps.h"

namespace valmora {
namespace {

// What one scan collects besides the counts.
struct ScanResult {
  EntryList entries;
  std::set<std::wstring> written;  // every line once, those beyond the hundredth too
  std::vector<LineKind> notRead;   // kinds of the applications that did not answer completely
  std::vector<std::wstring> reopened;  // what the reopen just before handed to the shell
  ScanTally tally;
  std::wstring newItemNames;  // never saved, but changed
  std::wstring unsavedNames;  // saved before, changed since

  // False when the line is written already: a document open in two
  // instances is one entry.
  bool Write(const std::wstring& line) {
    if (!written.insert(line).second) return false;
    entries.Add(line);
    return true;
  }
};

// A field that could not be read counts the way that loses nothing: a
// window of unknown visibility is visible, an unknown Saved is saved.
void AddDocuments(OfficeApp app, const AppSnapshot& snapshot, const Locale& locale, ScanResult& result) {
  AppTally& tally = result.tally.For(app);
  for (const OfficeDocument& doc : snapshot.documents) {
    if (!doc.firstWindowVisible.value_or(true)) continue;
    if (!doc.path) continue;  // neither loggable nor known to be new
    const bool saved = doc.saved.value_or(true);
    const std::wstring name = doc.name.value_or(L"");
    if (doc.path->empty()) {
      if (saved) continue;  // never saved and untouched
      ++tally.created;
      tally.hasNew = true;
      result.newItemNames += name + L"\r\n";
      continue;
    }
    if (!doc.fullName || doc.fullName->empty()) continue;
    if (!result.Write(ScannedLine(app, *doc.fullName, locale))) continue;
    ++tally.open;
    if (!saved) {
      ++tally.unsaved;
      result.unsavedNames += name + L"\r\n";
    }
  }
}

// "dd/mm/yy " with the user's date separator.
std::wstring CreationText(const LocalTime& t, const std::wstring& separator) {
  wchar_t day[8], month[8], year[8];
  std::swprintf(day, 8, L"%02d", t.day);
  std::swprintf(month, 8, L"%02d", t.month);
  std::swprintf(year, 8, L"%02d", t.year % 100);
  return day + separator + month + separator + year + L" ";
}

void AddOutlookItems(const AppSnapshot& snapshot, const std::wstring& dateSeparator, ScanResult& result) {
  AppTally& tally = result.tally.outlook;
  for (const OutlookItem& item : snapshot.items) {
    if (!item.entryId) continue;
    const bool saved = item.saved.value_or(true);
    const std::wstring subject = item.subject.value_or(L"");
    if (item.entryId->empty()) {
      if (saved) continue;  // a new item nobody has touched
      ++tally.created;
      tally.hasNew = true;
      result.newItemNames += subject + L"\r\n";
      continue;
    }
    const std::wstring created = item.creationTime ? CreationText(*item.creationTime, dateSeparator) : L"";
    if (!result.Write(OneLine(kOutlookPrefix + *item.entryId + L"'" + created + subject))) continue;
    ++tally.open;
    if (!saved) {
      ++tally.unsaved;
      result.unsavedNames += subject + L"\r\n";
    }
  }
}

// Said once a run: an application that runs but cannot be read (started as
// administrator, or not registered yet) keeps its entries, and the user
// should know why they no longer follow what is open.
std::wstring UnreachableNote(const std::vector<OfficeApp>& apps) {
  if (apps.empty()) return L"";
  std::wstring names;
  for (OfficeApp app : apps) names += (names.empty() ? L"" : L", ") + std::wstring(Traits(app).label);
  return L"\r\nRunning but cannot be read: " + names;
}

enum class Written { Yes, LeftAlone, Failed };

// An overwrite carries the previous log's hand-added lines over, after the
// Office entries and in the same write, so no crash or session end can catch
// the log without them; each line is written once. A log that is there but
// cannot be read (locked) is left alone rather than lose those lines.
Written WriteLog(OpenDocLog& log, const GoFlags& flags, const std::wstring& dateLine, ScanResult& result) {
  EntryList& entries = result.entries;
  std::vector<std::wstring> previous;
  if (log.Exists()) {
    auto read = log.ReadLines();
    if (!read) return Written::LeftAlone;
    previous = std::move(*read);
  }
  if (flags.pblnInShutdown) return log.MergeRewrite(entries) ? Written::Yes : Written::Failed;
  std::vector<std::wstring> kept;
  std::set<std::wstring> keptOnce;
  // What a reopen has just handed over stays too: Office may still be opening it.
  std::set<std::wstring> reopened;
  for (const std::wstring& line : result.reopened) {
    if (TraitsOf(ClassifyLogLine(line, log.GetLocale()))) reopened.insert(line);
  }
  for (const std::wstring& line : previous) {
    const LineKind kind = ClassifyLogLine(line, log.GetLocale());
    if (kind == LineKind::OtherEntry) {
      if (!flags.dropManualEntries && !result.written.contains(line) && keptOnce.insert(line).second) {
        kept.push_back(line);
      }
      continue;
    }
    // An application that did not answer completely (hung, busy, a field
    // unread, not attachable) said nothing of these: they stay.
    const bool notRead = std::find(result.notRead.begin(), result.notRead.end(), kind) != result.notRead.end();
    if (notRead || reopened.contains(line)) result.Write(line);
  }
  // In the log's order; then those of a list the log no longer holds (the last session's).
  for (const std::wstring& line : result.reopened) {
    if (reopened.contains(line)) result.Write(line);
  }
  return log.Overwrite(dateLine, entries, kept) ? Written::Yes : Written::Failed;
}

// The hourglass for as long as a scan runs, however it ends.
class BusyScreen {
 public:
  explicit BusyScreen(ScanView& view) : view_(view) { view_.SetScreenBusy(true); }
  ~BusyScreen() { view_.SetScreenBusy(false); }
  BusyScreen(const BusyScreen&) = delete;
  BusyScreen& operator=(const BusyScreen&) = delete;

 private:
  ScanView& view_;
};

}  // namespace

// Resets what a Go changed for its duration on every way out, an exception
// included, so the window is never left locked.
class Scanner::RunScope {
 public:
  explicit RunScope(Scanner& scanner) : scanner_(scanner), outermost_(!scanner.inGo_) {
    scanner_.inGo_ = true;
    if (outermost_) scanner_.services_.view.SetGoRunning(true);
  }
  ~RunScope() {
    if (!outermost_) return;
    scanner_.inGo_ = false;
    scanner_.services_.view.SetGoRunning(false);
    if (auto stopped = std::exchange(scanner_.whenStopped_, nullptr)) stopped();
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  Scanner& scanner_;
  const bool outermost_;
};

void Scanner::Go(const GoFlags& flags) {
  if (inGo_ || stopRequested_) return;
  Run(flags, [this] { return stopRequested_; });
  // Said once the Go is over: the ticks go on while it waits for its countdown.
  const std::wstring notice = std::exchange(reopenNotice_, {});
  if (!notice.empty() && !stopRequested_) services_.notices.ShowWarning(notice, kUnattendedNoticeSeconds);
}

void Scanner::Stop(std::function<void()> stopped) {
  stopRequested_ = true;
  if (!stopped) return;
  if (inGo_) {
    whenStopped_ = std::move(stopped);
  } else {
    stopped();
  }
}

void Scanner::ClearNewFlags() {
  for (OfficeApp app : kOfficeAppsInOrder) state_.*Traits(app).isNew = false;
}

void Scanner::Run(const GoFlags& flags, const StopRequested& stopped) {
  const RunScope scope(*this);
  ClearNewFlags();
  if (flags.pblnGetCurr) {
    Scan(flags, stopped);
  } else if (services_.reopen) {
    ReopenOutcome outcome = services_.reopen->Reopen(flags, stopped);
    reopened_ = std::move(outcome.handedOver);
    reopenNotice_ = std::move(outcome.notice);
  }
}

void Scanner::Scan(const GoFlags& flags, const StopRequested& stopped) {
  ScanView& view = services_.view;
  const BusyScreen busy(view);
  const Locale& locale = services_.locale;
  const std::wstring dateLine = FormatDateLine(services_.clock.Now(), locale);

  // Office is asked with messages let through: what arrives meanwhile may
  // end the program, and then nothing is written over the log.
  const std::vector<AppSnapshot> snapshots = services_.office.GatherAll(kOfficeAppsInOrder);
  if (stopped() || snapshots.size() != kOfficeAppsInOrder.size()) return;
  ScanResult result;
  result.reopened = std::exchange(reopened_, {});
  std::vector<OfficeApp> unreachable;
  for (std::size_t i = 0; i < snapshots.size(); ++i) {
    const OfficeApp app = kOfficeAppsInOrder[i];
    if (app == OfficeApp::Outlook) {
      AddOutlookItems(snapshots[i], locale.DateSeparator(), result);
    } else {
      AddDocuments(app, snapshots[i], locale, result);
    }
    if (!Answered(snapshots[i].state)) result.notRead.push_back(Traits(app).kind);
    if (snapshots[i].state == AppState::Unreachable && !std::exchange(toldUnreachable_[i], true)) {
      unreachable.push_back(app);
    }
  }
  tally_ = result.tally;
  for (OfficeApp app : kOfficeAppsInOrder) state_.*Traits(app).isNew = tally_.For(app).hasNew;

  view.SetListUnsavedEnabled(tally_.AnyUnsaved());
  OpenDocLog log(services_.logPath, services_.fs, locale);  // read afresh: the user may have edited it
  const Written written = WriteLog(log, flags, dateLine, result);
  if (state_.blnWatching) view.SetTrayTip(dateLine + L"\r\n" + ShortSummary(tally_));
  view.SetMsg1Caption(L"Currently open:  " + dateLine + L"\r\n" + LongSummary(tally_) + UnreachableNote(unreachable));
  if (written == Written::Failed && services_.writeReport) {
    services_.writeReport->NotSaved(services_.logPath, services_.fs.LastWriteError());
  }

  const bool anyNew = state_.blnNewExcel || state_.blnNewWord || state_.blnNewPowerPoint || state_.blnNewOutlook;
  if (!flags.pblnWatch && !flags.pblnInShutdown && !flags.pblnListUnsaved && anyNew) {
    services_.notices.ShowInfo(NeverSavedNotice(tally_, result.newItemNames), 10);
  }
  if (stopped()) return;
  // Hidden without an icon, the window would have no way back.
  if (flags.pblnWatch && !state_.blnKeepShown && state_.trayIconShown) view.HideWindow();
  if (flags.pblnListUnsaved) services_.notices.ShowInfo(UnsavedList(result.unsavedNames), 10);
}

// The session's end is never skipped: a Go it interrupts stops at its next
// step, and these scans run whatever else is under way. A second query of
// the session's end, while the first waits in its warning, adds nothing.
// The window stays locked through the warning too, and an end of the program
// asked for meanwhile waits for the second scan.
void Scanner::InShutdown() {
  if (inShutdown_) return;
  const RunScope scope(*this);
  inShutdown_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{inShutdown_};
  const StopRequested never = [] { return false; };
  ClearNewFlags();
  Scan(kShutdownScan, never);
  if (!state_.blnNewExcel && !state_.blnNewWord && !state_.blnNewPowerPoint) return;
  services_.notices.ShowWarning(ShutdownWarning(state_.blnNewExcel, state_.blnNewWord, state_.blnNewPowerPoint), 90);
  ClearNewFlags();
  Scan(kShutdownScan, never);
}

}  // namespace valmora
