#include "doclog/scanner.h"

#include <gtest/gtest.h>

#include <stdexcept>


#include "doclog/log_encoding.h"
#include "testing/fakes.h"
#include "testing/go_fakes.h"

namespace valmora {
namespace {

using testing::FakeFileSystem;
using testing::FakeLocale;
using testing::FakeNotices;
using testing::FakeOffice;
using testing::FakeScanView;
using testing::FixedClock;

constexpr wchar_t kLog[] = L"C:\\App\\Valmora.txt";

OfficeDocument Doc(const std::wstring& fullName, bool saved = true) {
  const std::size_t slash = fullName.rfind(L'\\');
  return {true, fullName.substr(0, slash), saved, fullName.substr(slash + 1), fullName};
}
OfficeDocument NeverSaved(const std::wstring& name, bool saved) { return {true, L"", saved, name, name}; }
AppSnapshot Running(std::vector<OfficeDocument> docs) { return {AppState::Read, std::move(docs), {}}; }

class ScannerTest : public ::testing::Test {
 protected:
  std::wstring Log() const {
    const auto it = fs.files.find(kLog);
    if (it == fs.files.end()) return L"<none>";
    std::wstring text;
    for (const auto& line : DecodeLogLines(it->second, locale)) text += line + L"|";
    return text;
  }
  void WriteLog(const std::string& bytes) { fs.files[kLog] = bytes; }

  FakeFileSystem fs;
  FakeLocale locale;
  FixedClock clock;
  const std::wstring logPath = kLog;
  OpenDocLog log{kLog, fs, locale};
  FakeOffice office;
  FakeScanView view;
  FakeNotices notices;
  GoState state;
  Scanner scanner{state, {office, logPath, fs, locale, clock, view, notices}};
};

constexpr GoFlags kGetCurrScan{.pblnGetCurr = true};
constexpr GoFlags kListUnsaved{.pblnGetCurr = true, .pblnListUnsaved = true};

TEST_F(ScannerTest, OneSavedWordDocumentIsLoggedAndSummarised) {
  office.apps[OfficeApp::Word] = Running({Doc(L"C:\\Data\\Report.docx")});
  scanner.Go(kQuietScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\Data\\Report.docx|");
  EXPECT_EQ(
      view.msg1,
      L"Currently open:  05/12/2026 14:07\r\nExcel: no docs open\r\nWord: 1 doc open\r\nPowerPoint: no docs open\r\n"
      L"Outlook: no items open");
  EXPECT_FALSE(view.listUnsavedEnabled);
  EXPECT_EQ(view.busyTrail, (std::vector<bool>{true, false}));
  EXPECT_EQ(view.goRunningTrail, (std::vector<bool>{true, false}));
  EXPECT_TRUE(view.tip.empty());  // not watching: no icon
}

TEST_F(ScannerTest, WhichDocumentsCountAndHow) {
  struct Case {
    const char* what;
    OfficeDocument doc;
    const wchar_t* logged;  // nullptr: not logged
    int open, created, unsaved;
  };
  const Case cases[] = {
      {"saved, unchanged", Doc(L"C:\\D\\a.xlsx"), L"C:\\D\\a.xlsx", 1, 0, 0},
      {"saved, changed", Doc(L"C:\\D\\a.xlsx", false), L"C:\\D\\a.xlsx", 1, 0, 1},
      {"first window hidden", {false, L"C:\\D", false, L"a.xlsx", L"C:\\D\\a.xlsx"}, nullptr, 0, 0, 0},
      {"never saved, untouched", NeverSaved(L"Book1", true), nullptr, 0, 0, 0},
      {"never saved, typed into", NeverSaved(L"Book1", false), nullptr, 0, 1, 0},
      {"visibility unreadable", {std::nullopt, L"C:\\D", true, L"a.xlsx", L"C:\\D\\a.xlsx"}, L"C:\\D\\a.xlsx", 1, 0, 0},
      {"Saved unreadable", {true, L"C:\\D", std::nullopt, L"a.xlsx", L"C:\\D\\a.xlsx"}, L"C:\\D\\a.xlsx", 1, 0, 0},
      {"Path unreadable", {true, std::nullopt, false, L"a.xlsx", L"C:\\D\\a.xlsx"}, nullptr, 0, 0, 0},
      {"FullName unreadable", {true, L"C:\\D", true, L"a.xlsx", std::nullopt}, nullptr, 0, 0, 0},
  };
  for (const Case& c : cases) {
    fs.files.clear();
    office.apps[OfficeApp::Excel] = Running({c.doc});
    scanner.Go(kQuietScan);
    EXPECT_EQ(Log(), std::wstring(L"05/12/2026 14:07|") + (c.logged ? std::wstring(c.logged) + L"|" : L"")) << c.what;
    const AppTally& t = scanner.LastTally().excel;
    EXPECT_EQ(t.open, c.open) << c.what;
    EXPECT_EQ(t.created, c.created) << c.what;
    EXPECT_EQ(t.unsaved, c.unsaved) << c.what;
    EXPECT_EQ(state.blnNewExcel, c.created > 0) << c.what;
    EXPECT_EQ(view.listUnsavedEnabled, c.unsaved > 0) << c.what;
  }
}

TEST_F(ScannerTest, LogsExcelThenWordThenPowerPointThenOutlookInCollectionOrder) {
  office.apps[OfficeApp::Outlook] = {AppState::Read, {},
                                     {{L"00AB", true, L"Lunch", LocalTime{2026, 3, 7, 9, 5, 0}},
                                      {L"", false, L"Draft", std::nullopt},
                                      {L"", true, L"Untouched", std::nullopt},
                                      {L"00CD", false, L"No date", std::nullopt}}};
  office.apps[OfficeApp::Word] = Running({Doc(L"C:\\D\\w2.docx"), Doc(L"C:\\D\\w1.docx")});
  office.apps[OfficeApp::Excel] = Running({Doc(L"C:\\D\\e.xlsx")});
  office.apps[OfficeApp::PowerPoint] = Running({Doc(L"C:\\D\\b.pptx"), Doc(L"C:\\D\\a.pptx")});
  scanner.Go(kQuietScan);
  EXPECT_EQ(Log(),
            L"05/12/2026 14:07|C:\\D\\e.xlsx|C:\\D\\w2.docx|C:\\D\\w1.docx|PowerPoint:C:\\D\\b.pptx|"
            L"PowerPoint:C:\\D\\a.pptx|Outlook:00AB'07/03/26 Lunch|Outlook:00CD'No date|");
  EXPECT_EQ(scanner.LastTally().powerPoint.open, 2);
  EXPECT_TRUE(state.blnNewOutlook);
  EXPECT_EQ(scanner.LastTally().outlook.unsaved, 1);
}

// Every tick would say it again: a log that cannot be written is said once
// a run, with its path and the system's reason.
TEST_F(ScannerTest, ALogThatCannotBeWrittenIsSaidOnceWithTheReason) {
  LogWriteReport report(notices);
  Scanner reporting{state, {office, logPath, fs, locale, clock, view, notices, nullptr, &report}};
  fs.failWrites = true;
  reporting.Go(kQuietScan);
  reporting.Go(kShutdownScan);
  ASSERT_EQ(notices.warnings.size(), 1u);
  EXPECT_EQ(notices.warnings[0].first,
            L"The list of open documents could not be saved in\r\nC:\\App\\Valmora.txt\r\n\r\nAccess is denied.");
  EXPECT_GT(notices.warnings[0].second, 0) << "unattended, it must close by itself";
  fs.failWrites = false;
  reporting.Go(kQuietScan);
  EXPECT_EQ(notices.warnings.size(), 1u);
}

// Whatever ends a Go, the window is unlocked again and the next one runs.
TEST_F(ScannerTest, AGoThatFailsLeavesNothingLocked) {
  office.onGather = [] { throw std::runtime_error("Office went away"); };
  EXPECT_THROW(scanner.Go(kQuietScan), std::runtime_error);
  EXPECT_FALSE(scanner.Running());
  EXPECT_EQ(view.goRunningTrail, (std::vector<bool>{true, false}));
  EXPECT_FALSE(view.busy);

  office.onGather = nullptr;
  scanner.Go(kQuietScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|");
}

TEST_F(ScannerTest, AStoppedScanWritesAndShowsNothingAndNoLaterGoRuns) {
  office.apps[OfficeApp::Word] = Running({NeverSaved(L"Document2", false)});
  int stopped = 0;
  office.onGather = [&] {
    if (!scanner.Running()) return;
    scanner.Stop([&] { ++stopped; });
    EXPECT_EQ(stopped, 0) << "not while the Go runs";
  };
  scanner.Go(kGetCurrScan);
  EXPECT_EQ(stopped, 1);
  EXPECT_EQ(Log(), L"<none>");
  EXPECT_TRUE(notices.infos.empty());
  office.onGather = nullptr;
  scanner.Go(kGetCurrScan);
  EXPECT_EQ(Log(), L"<none>");
  scanner.Resume();
  scanner.Go(kGetCurrScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|");
}

// Whoever sent the mail chose its subject: nothing in it may start a line.
TEST_F(ScannerTest, ASubjectCannotForgeALogLine) {
  const struct {
    const wchar_t* subject;
    const wchar_t* logged;
  } cases[] = {
      {L"Lunch\r\nC:\\Windows\\evil.bat", L"Lunch  C:\\Windows\\evil.bat"},
      {L"a\rb\nc\td\x0001" L"e", L"a b c d e"},
      {L"a\x0085" L"b\x2028" L"c\x2029" L"d\x007F", L"a b c d "},
      {L"Caf\u00e9 \u65e5", L"Caf\u00e9 \u65e5"},
  };
  for (const auto& c : cases) {
    fs.files.clear();
    office.apps[OfficeApp::Outlook] = {AppState::Read, {}, {{L"00AB", true, c.subject, std::nullopt}}};
    scanner.Go(kQuietScan);
    scanner.Go(kQuietScan);  // the rescan finds no hand-added line to carry
    EXPECT_EQ(Log(), L"05/12/2026 14:07|Outlook:00AB'" + std::wstring(c.logged) + L"|") << c.logged;
  }
}

TEST_F(ScannerTest, SummariesReadAsTheUserExpects) {
  ScanTally t;
  t.excel = {3, 1, 1, true};
  t.outlook = {1, 0, 0, false};
  EXPECT_EQ(ShortSummary(t), L"Excel: 3 docs + 1 NEW\r\nWord: 0 docs\r\nPowerPoint: 0 docs\r\nOutlook: 1 item");
  EXPECT_EQ(
      LongSummary(t),
      L"Excel: 3 docs open of which 1 is unsaved, excludes 1 NEW\r\nWord: no docs open\r\nPowerPoint: no docs open\r\n"
      L"Outlook: 1 item open");
  t.word = {2, 2, 2, true};
  t.powerPoint = {1, 1, 0, true};
  EXPECT_EQ(LongSummary(t).substr(LongSummary(t).find(L"Word")),
            L"Word: 2 docs open of which 2 are unsaved, excludes 2 NEW\r\nPowerPoint: 1 doc open, excludes 1 NEW\r\n"
            L"Outlook: 1 item open");
  EXPECT_EQ(NeverSavedNotice(t, L"Book1\r\n").substr(0, 99),
            L"** PLEASE NOTE **\r\nThere are documents that are new (never been saved) in Excel Word PowerPoint .\r\n");
}

TEST(ShutdownWarning, NamesTheApplicationsWithNewDocumentsInOrder) {
  const struct {
    bool excel, word, powerPoint;
    const wchar_t* names;
  } cases[] = {
      {true, false, false, L"Excel"},
      {false, true, false, L"Word"},
      {false, false, true, L"PowerPoint"},
      {true, true, false, L"Excel and Word"},
      {false, true, true, L"Word and PowerPoint"},
      {true, true, true, L"Excel, Word and PowerPoint"},
  };
  for (const auto& c : cases) {
    const std::wstring text = ShutdownWarning(c.excel, c.word, c.powerPoint);
    EXPECT_NE(text.find(std::wstring(L"(never been saved) in ") + c.names + L".\r\n"), std::wstring::npos) << c.names;
  }
}

// Office entries past the hundredth are found again by the next scan; a
// hand-added line left out would be gone, so the limit is not theirs.
TEST_F(ScannerTest, MoreThanAHundredItemsAreCountedButOnlyAHundredLoggedBesideTheHandAddedLines) {
  WriteLog("01/12/2026 09:00\r\nC:\\Notes\\plan.txt\r\n");
  std::vector<OfficeDocument> docs;
  for (int i = 0; i < 120; ++i) docs.push_back(Doc(L"C:\\D\\b" + std::to_wstring(i) + L".xlsx"));
  office.apps[OfficeApp::Excel] = Running(docs);
  scanner.Go(kQuietScan);
  EXPECT_EQ(scanner.LastTally().excel.open, 120);
  const auto lines = log.ReadLines();
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 102u);
  EXPECT_EQ((*lines)[100], L"C:\\D\\b99.xlsx");
  EXPECT_EQ(lines->back(), L"C:\\Notes\\plan.txt");
}

TEST_F(ScannerTest, InteractiveScanTellsAboutNeverSavedDocumentsQuietOnesDoNot) {
  office.apps[OfficeApp::Word] = Running({NeverSaved(L"Document2", false)});
  scanner.Go(kQuietScan);
  EXPECT_TRUE(notices.infos.empty());
  scanner.Go(kListUnsaved);
  ASSERT_EQ(notices.infos.size(), 1u);  // the list, not the notice
  notices.infos.clear();

  scanner.Go(kGetCurrScan);
  ASSERT_EQ(notices.infos.size(), 1u);
  EXPECT_EQ(notices.infos[0].first,
            L"** PLEASE NOTE **\r\nThere are documents that are new (never been saved) in Word .\r\n"
            L"These documents will NOT be reopened automatically after system reboot.\r\n"
            L"If you wish them to be included, save them to disk then rerun this command.\r\n\r\nDocument2\r\n");
  EXPECT_EQ(notices.infos[0].second, 10);
}

TEST_F(ScannerTest, UnsavedListNamesEachDocumentAsItIs) {
  office.apps[OfficeApp::Excel] =
      Running({Doc(L"C:\\D\\Budget.xlsx", false), Doc(L"C:\\D\\Plan.xlsx", false), Doc(L"C:\\D\\ok.xlsx")});
  scanner.Go(kListUnsaved);
  ASSERT_EQ(notices.infos.size(), 1u);
  EXPECT_EQ(notices.infos[0], std::make_pair(std::wstring(L"Documents flagged as unsaved:\r\n\r\nBudget.xlsx\r\n"
                                                          L"Plan.xlsx\r\n"),
                                             10));
  EXPECT_TRUE(view.listUnsavedEnabled);
}

TEST_F(ScannerTest, WatchScanHidesTheWindowUnlessKeptShownAndUpdatesTheTip) {
  state.blnWatching = true;
  office.apps[OfficeApp::Excel] = Running({Doc(L"C:\\D\\a.xlsx")});
  scanner.Go(kQuietScan);
  EXPECT_FALSE(view.hidden) << "no icon to call it back with";
  state.trayIconShown = true;
  scanner.Go(kQuietScan);
  EXPECT_TRUE(view.hidden);
  EXPECT_EQ(view.tip, L"05/12/2026 14:07\r\nExcel: 1 doc\r\nWord: 0 docs\r\nPowerPoint: 0 docs\r\nOutlook: 0 items");

  view.hidden = false;
  state.blnKeepShown = true;
  scanner.Go(kQuietScan);
  EXPECT_FALSE(view.hidden);
  scanner.Go(kGetCurrScan);  // not a watch scan
  EXPECT_FALSE(view.hidden);
}

// Each line of a scan's log appears once: a hand-added line twice in the
// log, a file open in two instances, a file whose extension is not its
// application's, rescanned tick after tick.
TEST_F(ScannerTest, OverwriteScansKeepHandAddedLinesOnceUnlessTheUserDropsThem) {
  WriteLog("01/12/2026 09:00\r\nC:\\D\\old.xlsx\r\nC:\\Notes\\plan.txt\r\n\r\nC:\\Notes\\todo.pdf\r\n"
           "C:\\Notes\\plan.txt\r\n");
  office.apps[OfficeApp::Word] = Running({Doc(L"C:\\D\\new.docx")});
  scanner.Go(kQuietScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\new.docx|C:\\Notes\\plan.txt|C:\\Notes\\todo.pdf|");

  GoFlags drop = kGetCurrScan;
  drop.dropManualEntries = true;
  scanner.Go(drop);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\new.docx|");
}

TEST_F(ScannerTest, EachLineOnceAndAScannedFileNeverTurnsHandAdded) {
  WriteLog("01/12/2026 09:00\r\nC:\\D\\by hand.csv\r\n");
  office.apps[OfficeApp::Excel] = Running({Doc(L"C:\\D\\a.csv"), Doc(L"C:\\D\\b.xlsx"), Doc(L"C:\\D\\a.csv", false),
                                           Doc(L"C:\\D\\by hand.csv")});
  office.apps[OfficeApp::Word] = Running({Doc(L"C:\\D\\notes.txt"), Doc(L"C:\\D\\w.docx"), Doc(L"C:\\D\\notes.txt")});
  const std::wstring expected =
      L"05/12/2026 14:07|Excel:C:\\D\\a.csv|C:\\D\\b.xlsx|Excel:C:\\D\\by hand.csv|Word:C:\\D\\notes.txt|C:\\D\\w.docx|"
      L"C:\\D\\by hand.csv|";
  for (int tick = 0; tick < 3; ++tick) {
    scanner.Go(kQuietScan);
    EXPECT_EQ(Log(), expected) << "tick " << tick;
  }
  EXPECT_EQ(scanner.LastTally().excel.open, 3);
  EXPECT_EQ(scanner.LastTally().excel.unsaved, 0) << "the first seen of the two counts";
  EXPECT_EQ(scanner.LastTally().word.open, 2);
  // Closed, it goes: the prefix says a scan wrote it.
  office.apps[OfficeApp::Excel] = Running({});
  office.apps[OfficeApp::Word] = Running({});
  scanner.Go(kQuietScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\by hand.csv|");
}

TEST_F(ScannerTest, AnApplicationGivenUpOnKeepsItsEntriesInTheLog) {
  WriteLog("01/12/2026 09:00\r\nC:\\D\\a.xlsx\r\nC:\\D\\b.xlsx\r\nC:\\D\\old.docx\r\nOutlook:00AA'x\r\n");
  // Excel hung after its first workbook; Word answered; Outlook is not running.
  office.apps[OfficeApp::Excel] = {AppState::GaveUp, {Doc(L"C:\\D\\a.xlsx")}, {}};
  office.apps[OfficeApp::Word] = Running({Doc(L"C:\\D\\new.docx")});
  scanner.Go(kQuietScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\a.xlsx|C:\\D\\new.docx|C:\\D\\b.xlsx|");

  // So with PowerPoint: its decks stay while it hangs, and go once it answers.
  WriteLog("01/12/2026 09:00\r\nPowerPoint:C:\\D\\q.pptx\r\nC:\\D\\by hand.pptx\r\n");
  office.apps[OfficeApp::Excel] = Running({});
  office.apps[OfficeApp::PowerPoint] = {AppState::GaveUp, {}, {}};
  scanner.Go(kQuietScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\new.docx|PowerPoint:C:\\D\\q.pptx|C:\\D\\by hand.pptx|");
  office.apps[OfficeApp::PowerPoint] = Running({});
  scanner.Go(kQuietScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\new.docx|C:\\D\\by hand.pptx|");
}

// Office may still be opening what a reopen handed over, or have failed to:
// the scan right after it keeps those entries; the next decides as usual.
TEST_F(ScannerTest, TheScanAfterAReopenKeepsWhatItHandedOverUntilTheNext) {
  struct HandingOver : ReopenPhase {
    ReopenOutcome Reopen(const GoFlags&, const StopRequested&) override {
      return {{L"C:\\D\\slow.xlsx", L"C:\\D\\open.docx", L"Outlook:00AA'x", L"C:\\Notes\\plan.txt"}, L""};
    }
  } reopen;
  Scanner reopening{state, {office, logPath, fs, locale, clock, view, notices, &reopen}};
  WriteLog("01/12/2026 09:00\r\nC:\\D\\slow.xlsx\r\nC:\\D\\open.docx\r\nC:\\D\\closed.xlsx\r\nOutlook:00AA'x\r\n"
           "C:\\Notes\\plan.txt\r\nOutlook:00BB'y\r\n");
  office.apps[OfficeApp::Word] = Running({Doc(L"C:\\D\\open.docx")});
  office.apps[OfficeApp::Outlook] = {AppState::GaveUp, {}, {}};
  reopening.Go(kReopenAll);
  reopening.Go(kQuietScan);
  // Kept, in the log's order, with what Outlook said nothing of.
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\open.docx|C:\\D\\slow.xlsx|Outlook:00AA'x|Outlook:00BB'y|"
                   L"C:\\Notes\\plan.txt|");
  office.apps[OfficeApp::Outlook] = Running({});
  reopening.Go(kQuietScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\open.docx|C:\\Notes\\plan.txt|");
}

// At logon nobody may be at the keyboard: what the reopen could not do is
// said after its Go, with a countdown, and a tick meanwhile scans.
TEST_F(ScannerTest, AnUnattendedReopenSpeaksOnceItsGoIsOverAndTicksGoOnMeanwhile) {
  struct Failing : ReopenPhase {
    ReopenOutcome Reopen(const GoFlags&, const StopRequested&) override { return {{}, L"Not everything ..."}; }
  } reopen;
  Scanner reopening{state, {office, logPath, fs, locale, clock, view, notices, &reopen}};
  notices.whileShown = [&] { reopening.Go(kQuietScan); };  // a tick while it waits
  reopening.Go(kStartupReopen);
  EXPECT_EQ(notices.warnings, (std::vector<std::pair<std::wstring, int>>{{L"Not everything ...", 60}}));
  EXPECT_EQ(Log(), L"05/12/2026 14:07|") << "the tick scanned";
}

// Running, but not to be attached (as administrator, or not registered
// yet): its lines stay, and the label says why, once a run.
TEST_F(ScannerTest, AnApplicationThatRunsButCannotBeReadKeepsItsLinesAndIsNamedOnce) {
  WriteLog("01/12/2026 09:00\r\nC:\\D\\a.xlsx\r\nWord:C:\\D\\w.txt\r\n");
  office.apps[OfficeApp::Excel] = {AppState::Unreachable, {}, {}};
  office.apps[OfficeApp::Word] = {AppState::Unreachable, {}, {}};
  scanner.Go(kQuietScan);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\a.xlsx|Word:C:\\D\\w.txt|");
  EXPECT_TRUE(view.msg1.ends_with(L"Outlook: no items open\r\nRunning but cannot be read: Excel, Word")) << view.msg1;
  office.apps[OfficeApp::PowerPoint] = {AppState::Unreachable, {}, {}};
  scanner.Go(kQuietScan);
  EXPECT_TRUE(view.msg1.ends_with(L"Outlook: no items open\r\nRunning but cannot be read: PowerPoint")) << view.msg1;
  scanner.Go(kQuietScan);
  EXPECT_TRUE(view.msg1.ends_with(L"Outlook: no items open")) << view.msg1;
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\a.xlsx|Word:C:\\D\\w.txt|");
}

TEST_F(ScannerTest, ALogThatCannotBeReadIsNotOverwritten) {
  WriteLog("01/12/2026 09:00\r\nC:\\Notes\\plan.txt\r\n");
  fs.failReads = true;
  office.apps[OfficeApp::Excel] = Running({Doc(L"C:\\D\\a.xlsx")});
  scanner.Go(kQuietScan);
  scanner.Go(kShutdownScan);
  fs.failReads = false;
  EXPECT_EQ(Log(), L"01/12/2026 09:00|C:\\Notes\\plan.txt|");
  EXPECT_EQ(view.msg1.substr(0, 17), L"Currently open:  ");  // the rest of the scan goes on
}

TEST_F(ScannerTest, ACallArrivingWhileGoWaitsIsSkipped) {
  office.apps[OfficeApp::Word] = Running({NeverSaved(L"Document2", false)});
  int gathers = 0;
  office.onGather = [&] { ++gathers; };
  notices.whileShown = [&] { scanner.Go(kQuietScan); };  // a watch tick during the notice
  scanner.Go(kGetCurrScan);
  EXPECT_EQ(gathers, kOfficeApps);  // one scan only
  EXPECT_EQ(notices.infos.size(), 1u);
  scanner.Go(kQuietScan);  // and later ones run again
  EXPECT_EQ(gathers, 2 * kOfficeApps);
}

TEST_F(ScannerTest, InShutdownMergesWarnsAboutNewWorkbooksAndMergesAgain) {
  WriteLog("01/12/2026 09:00\r\nC:\\D\\closed.docx\r\nC:\\Notes\\plan.txt\r\n");
  office.apps[OfficeApp::Excel] = Running({NeverSaved(L"Book1", false)});
  office.apps[OfficeApp::Word] = Running({NeverSaved(L"Document1", false), Doc(L"C:\\D\\open.docx")});
  notices.whileShown = [&] {  // the user saves the workbook meanwhile
    office.apps[OfficeApp::Excel] = Running({Doc(L"C:\\D\\Book1.xlsx")});
  };
  scanner.InShutdown();
  ASSERT_EQ(notices.warnings.size(), 1u);
  EXPECT_EQ(notices.warnings[0].first,
            L"** PLEASE NOTE **\r\nThere are/were documents that are new (never been saved) in Excel and Word.\r\n"
            L"If those apps are still open, save and name the new docs now, then press Ok.\r\n"
            L"Otherwise, those documents will NOT be reopened automatically after system reboot.");
  EXPECT_EQ(notices.warnings[0].second, 90);
  EXPECT_EQ(Log(), L"C:\\D\\Book1.xlsx|C:\\D\\open.docx|01/12/2026 09:00|C:\\D\\closed.docx|C:\\Notes\\plan.txt|");
  EXPECT_EQ(fs.writes, 2);
}

TEST_F(ScannerTest, InShutdownWarnsAboutANewPresentation) {
  office.apps[OfficeApp::PowerPoint] = Running({NeverSaved(L"Presentation1", false)});
  scanner.InShutdown();
  ASSERT_EQ(notices.warnings.size(), 1u);
  EXPECT_NE(notices.warnings[0].first.find(L"(never been saved) in PowerPoint.\r\n"), std::wstring::npos);
  EXPECT_EQ(fs.writes, 2);
}

TEST_F(ScannerTest, InShutdownWithOnlyANewOutlookItemWritesOnceAndWarnsNot) {
  office.apps[OfficeApp::Outlook] = {AppState::Read, {}, {{L"", false, L"Draft", std::nullopt}}};
  scanner.InShutdown();
  EXPECT_TRUE(notices.warnings.empty());
  EXPECT_EQ(fs.writes, 1);
}

}  // namespace
}  // namespace valmora
