#include "startup/program_exit.h"

#include <gtest/gtest.h>

#include "doclog/log_encoding.h"
#include "doclog/reopen.h"
#include "testing/fakes.h"
#include "testing/go_fakes.h"

namespace valmora {
namespace {

using testing::FakeFileSystem;
using testing::FakeLocale;
using testing::FakeNotices;
using testing::FakeOffice;
using testing::FakeScanView;
using testing::FakeShell;
using testing::FixedClock;

constexpr wchar_t kLog[] = L"C:\\V\\Valmora.txt";

// The icon, the timer, the window and the end of the program in one journal.
struct Journal : TrayIcon, WatchTimer, WatchWindow, ExitView {
  std::vector<std::string> events;
  bool shown = false;
  const Scanner* scanner = nullptr;

  void Add() override { events.push_back("icon add"), shown = true; }
  void Remove() override { events.push_back("icon remove"), shown = false; }
  bool IsShown() const override { return shown; }
  void SetInterval(int) override {}
  void Enable(bool e) override { events.push_back(e ? "timer on" : "timer off"); }
  void Display() override {}
  bool IsMinimised() const override { return false; }
  bool IsHidden() const override { return false; }
  void Minimise() override { events.push_back("minimise"); }
  void MinimiseAndHide() override { events.push_back("hide"); }
  void Restore() override {}
  void ShowTrayMenu() override {}
  // The window must never close under a Go that still runs.
  void EndProgram() override { events.push_back(scanner->Running() ? "end while Go runs" : "end"); }
  void BlockSessionEnd(bool b) override { events.push_back(b ? "block" : "unblock"); }
  bool ReopensAtLogon() const override { return reopenAtLogon; }
  bool reopenAtLogon = false;
  int Count(const std::string& e) const { return static_cast<int>(std::count(events.begin(), events.end(), e)); }
};

struct Guard : InstanceGuard {
  explicit Guard(bool& released) : released_(released) {}
  ~Guard() override { released_ = true; }
  bool InstExists() const override { return false; }
  bool& released_;
};

// The platform's side: Office, files, the shell, the notices.
struct Platform {
  FakeFileSystem fs;
  FakeLocale locale;
  FixedClock clock;
  const std::wstring logPath = kLog;
  FakeOffice office;
  FakeScanView view;
  FakeNotices notices;
  FakeShell shell;
  std::function<void()> duringPause;  // once, in the first reopen pause
};

// The program's core over that platform, as the window wires it.
struct Program {
  explicit Program(Platform& p)
      : reopener({p.office, p.logPath, p.fs, p.locale, p.view, p.notices, p.shell,
                  [&p](std::int32_t) {
                    if (p.duringPause) std::exchange(p.duringPause, nullptr)();
                  }}),
        scanner(state, {p.office, p.logPath, p.fs, p.locale, p.clock, p.view, p.notices, &reopener}),
        watch({state, commandLine, journal, journal, journal, scanner}),
        exit({state, scanner, watch, journal}) {
    journal.scanner = &scanner;
  }
  void Watching() {
    state.blnWatching = true;
    watch.InitWatch();
  }

  Journal journal;
  MainState state;
  const std::wstring commandLine = L"/watch";
  Reopener reopener;
  Scanner scanner;
  WatchMode watch;
  ProgramExit exit;
};

class ProgramExitTest : public ::testing::Test {
 protected:
  std::wstring Log() const {
    const auto it = p.fs.files.find(kLog);
    if (it == p.fs.files.end()) return L"<none>";
    std::wstring text;
    for (const auto& line : DecodeLogLines(it->second, p.locale)) text += line + L"|";
    return text;
  }

  Platform p;
  Program program{p};
  Journal& journal = program.journal;
  WatchMode& watch = program.watch;
  ProgramExit& exit = program.exit;
};

TEST_F(ProgramExitTest, TheCloseBoxHidesInWatchModeAndEveryOtherEndClosesTheWindow) {
  struct Case {
    const char* what;
    bool watching;
    void (*act)(ProgramExit&);
    bool ends;
  };
  const Case cases[] = {
      {"close box", false, [](ProgramExit& e) { e.CloseBox(); }, true},
      {"close box, watching", true, [](ProgramExit& e) { e.CloseBox(); }, false},
      {"Exit", false, [](ProgramExit& e) { e.Exit(); }, true},
      {"Exit, watching", true, [](ProgramExit& e) { e.Exit(); }, true},
      {"session end", false, [](ProgramExit& e) { e.EndSession(true); }, true},
  };
  for (const Case& c : cases) {
    p.fs.files.clear();
    Program run(p);
    if (c.watching) run.Watching();
    c.act(run.exit);
    EXPECT_EQ(run.journal.Count("end"), c.ends ? 1 : 0) << c.what;
    EXPECT_EQ(run.journal.Count("hide"), c.ends ? 0 : 1) << c.what;
    EXPECT_EQ(p.fs.files.count(kLog), c.ends ? 0u : 1u) << c.what << ": only the hide scans";
  }
}

// "Re&open Now" is a reopen and a rescan; an end asked for in the first
// pause stops both, and the log keeps every item not yet reopened.
TEST_F(ProgramExitTest, AnEndDuringTheFirstReopenPauseOpensNothingMoreAndLeavesTheLog) {
  struct Case {
    const char* what;
    bool watching;
    void (*act)(ProgramExit&);
  };
  const Case cases[] = {
      {"close box", false, [](ProgramExit& e) { e.CloseBox(); }},
      {"Exit", false, [](ProgramExit& e) { e.Exit(); }},
      {"Exit, watching", true, [](ProgramExit& e) { e.Exit(); }},
      {"session end", false, [](ProgramExit& e) { e.EndSession(true); }},
  };
  for (const Case& c : cases) {
    Program run(p);
    if (c.watching) run.Watching();
    const std::string log = "05/12/2026 09:00\r\nC:\\N\\1.txt\r\nC:\\N\\2.txt\r\nC:\\N\\3.txt\r\n";
    p.fs.files = {{kLog, log}, {L"C:\\N\\1.txt", "x"}, {L"C:\\N\\2.txt", "x"}, {L"C:\\N\\3.txt", "x"}};
    p.shell.opened.clear();
    p.duringPause = [&] { c.act(run.exit); };

    run.scanner.Go(kReopenAll);
    run.scanner.Go(kQuietScan);

    EXPECT_EQ(p.shell.opened, std::vector<std::wstring>{L"C:\\N\\1.txt (max)"}) << c.what;
    EXPECT_EQ(p.fs.files[kLog], log) << c.what;
    EXPECT_EQ(run.journal.events.back(), "end") << c.what;
    EXPECT_EQ(run.journal.Count("end"), 1) << c.what;
  }
}

// The session's end arrives in any wait that lets messages through, here a
// tick's wait for Office: it is never skipped, and the tick it interrupted
// writes nothing over the two merges.
TEST_F(ProgramExitTest, TheEndOfTheSessionDuringATickStillMergesTwiceAndWarns) {
  program.Watching();
  p.fs.files[kLog] = "01/12/2026 09:00\r\nC:\\D\\old.xlsx\r\nC:\\N\\notes.txt\r\n";
  p.office.apps[OfficeApp::Excel] = {AppState::Read, {{true, L"C:\\D", true, L"now.xlsx", L"C:\\D\\now.xlsx"}}, {}};
  p.office.apps[OfficeApp::Word] = {AppState::Read, {{true, L"", false, L"Document2", L"Document2"}}, {}};
  bool queried = false;
  p.office.onGather = [&] {
    if (!std::exchange(queried, true)) exit.QueryEndSession(false);
  };
  p.notices.whileShown = [&] {  // the user saves the document while warned
    p.office.apps[OfficeApp::Word] = {AppState::Read, {{true, L"C:\\W", true, L"R.docx", L"C:\\W\\R.docx"}}, {}};
  };

  watch.Tick();

  ASSERT_EQ(p.notices.warnings.size(), 1u);
  EXPECT_EQ(p.notices.warnings[0].second, 90);
  EXPECT_EQ(Log(), L"C:\\D\\now.xlsx|C:\\W\\R.docx|01/12/2026 09:00|C:\\D\\old.xlsx|C:\\N\\notes.txt|");
  EXPECT_EQ(journal.Count("block"), 1);
  EXPECT_EQ(journal.events.back(), "unblock");
  EXPECT_EQ(journal.Count("timer off"), 1);

  const int writes = p.fs.writes;
  watch.Tick();  // a tick already queued
  EXPECT_EQ(p.fs.writes, writes) << "no timer scan once the session ends";
  exit.EndSession(true);
  EXPECT_EQ(journal.events.back(), "end");
}

TEST_F(ProgramExitTest, OnlyAWatchingProgramSavesTheListAndACalledOffEndLetsItTickAgain) {
  exit.QueryEndSession(false);
  EXPECT_EQ(p.fs.writes, 0) << "not watching: nothing to save";
  journal.reopenAtLogon = true;  // the next logon reopens the log: it is saved
  exit.QueryEndSession(false);
  EXPECT_EQ(p.fs.writes, 1);
  exit.EndSession(false);
  EXPECT_EQ(journal.Count("timer on"), 0) << "not watching: no ticks";
  journal.reopenAtLogon = false;
  p.fs.writes = 0;

  program.Watching();
  exit.QueryEndSession(true);  // an installer closes the program: no end of the session
  EXPECT_EQ(p.fs.writes, 0);

  exit.QueryEndSession(false);
  EXPECT_EQ(p.fs.writes, 1);
  exit.EndSession(false);
  EXPECT_EQ(journal.events.back(), "timer on");
  watch.Tick();
  EXPECT_EQ(p.fs.writes, 2);
  EXPECT_EQ(journal.Count("end"), 0);
}

// Exit while the shutdown warning is up: the second merge still runs, and
// the program ends after it.
TEST_F(ProgramExitTest, AnExitDuringTheShutdownWarningWaitsForTheSecondMerge) {
  program.Watching();
  p.office.apps[OfficeApp::Word] = {AppState::Read, {{true, L"", false, L"Document2", L"Document2"}}, {}};
  p.notices.whileShown = [&] { exit.Exit(); };
  exit.QueryEndSession(false);
  EXPECT_EQ(p.fs.writes, 2);
  EXPECT_EQ(journal.Count("end"), 1);
  EXPECT_EQ(journal.Count("end while Go runs"), 0);
}

TEST_F(ProgramExitTest, UnloadTakesTheIconAwayAndReleasesTheGuard) {
  bool released = false;
  program.state.objMutex = std::make_unique<Guard>(released);
  program.Watching();
  exit.Unload();
  EXPECT_TRUE(released);
  EXPECT_FALSE(journal.shown);
  EXPECT_FALSE(program.state.blnWatching);
}

}  // namespace
}  // namespace valmora
