#include "startup/startup.h"
#include "watch/logon.h"

#include <gtest/gtest.h>

#include "startup/command_line.h"
#include "testing/fakes.h"

namespace valmora {
namespace {

using testing::FakeFileSystem;
using testing::FakeLocale;
using testing::FakeRegistry;

// Every call start-up makes lands in one journal, in order.
struct Journal {
  std::vector<std::wstring> events;
  void Add(std::wstring e) { events.push_back(std::move(e)); }
  bool Has(const std::wstring& e) const { return std::find(events.begin(), events.end(), e) != events.end(); }
};

class FakeView : public MainView {
 public:
  explicit FakeView(Journal& j) : j_(j) {}
  void SetCmdLineCaption(const std::wstring& t) override { cmdLine = t; }
  void SetMsg1Caption(const std::wstring& t) override { msg1 = t; }
  void SetWatchModePressed(bool p) override { watchPressed = p; }
  bool IsWatchModePressed() const override { return watchPressed; }
  void SetReopenOnRestartPressed(bool p) override { reopenPressed = p; }
  bool IsReopenOnRestartPressed() const override { return reopenPressed; }
  TwipSize ScreenSize() const override { return screen; }
  TwipSize WindowSize() const override { return window; }
  void MoveTo(long l, long t) override { left = l, top = t; }
  void Display() override { j_.Add(L"display"); }
  void Close() override { j_.Add(L"close"); }
  void ShowRunningInstance() override { j_.Add(L"show the running one"); }
  void ShowStandardMessage(const std::wstring& t, MessageIcon) override { j_.Add(L"msgbox:" + t.substr(0, t.find(L"\r"))); }

  std::wstring cmdLine, msg1;
  TwipSize screen{19200, 10800}, window{5955, 3501};
  bool watchPressed = false, reopenPressed = false;
  long left = -1, top = -1;

 private:
  Journal& j_;
};

class FakeScanner : public DocumentScanner {
 public:
  explicit FakeScanner(Journal& j) : j_(j) {}
  void Go(const GoFlags& f) override {
    j_.Add(f == kQuietScan ? L"go:scan" : f == kStartupReopen ? L"go:reopen" : L"go:other");
  }
  void InShutdown() override { j_.Add(L"inshutdown"); }

 private:
  Journal& j_;
};

class FakeWatch : public WatchControl {
 public:
  explicit FakeWatch(Journal& j) : j_(j) {}
  void InitWatch() override { j_.Add(L"initwatch"); }
  void EnableTimer() override { j_.Add(L"timer"); }

 private:
  Journal& j_;
};

class FakeQuestions : public Questions {
 public:
  explicit FakeQuestions(Journal& j) : j_(j) {}
  bool AskYesNo(const std::wstring& m, int countDown, bool defaultYes) override {
    j_.Add(L"ask");
    EXPECT_EQ(m, kStartupQuestion);
    EXPECT_EQ(countDown, 5);
    EXPECT_TRUE(defaultYes);
    return answer;
  }
  bool answer = true;

 private:
  Journal& j_;
};

class Guard : public InstanceGuard {
 public:
  explicit Guard(bool exists) : exists_(exists) {}
  bool InstExists() const override { return exists_; }

 private:
  bool exists_;
};

constexpr wchar_t kLogPath[] = L"C:\\V\\Valmora.txt";
constexpr wchar_t kDateOnly[] = L"05/12/2026 14:07";

class StartupTest : public ::testing::Test {
 protected:
  Journal journal;
  FakeView view{journal};
  FakeRegistry registry;
  FakeFileSystem fs;
  FakeLocale locale;
  FakeScanner scanner{journal};
  FakeWatch watch{journal};
  FakeQuestions questions{journal};
  MainState state;
  bool otherInstance = false;

  StartupOutcome Run(const std::wstring& commandLine) {
    state.exeFolder = L"C:\\V";
    state.exeBaseName = L"Valmora";
    state.commandLine = commandLine;
    StartupServices services{[this] { return std::make_unique<Guard>(otherInstance); }, view, registry, fs, locale,
                             &scanner, &watch, &questions};
    return RunStartup(state, services);
  }
  void Log(const std::string& bytes) { fs.files[kLogPath] = bytes; }
  void RegisterWatch(const std::wstring& text) { registry.Put(kRunKey, L"Valmora", text); }
  void RegisterReopen() { registry.Put(kRunOnceKey, L"Valmora", L"\"C:\\V\\Valmora.exe\" /reopen"); }
  bool RunOnceValueExists() { return !ReadRegValue(registry, kHkeyCurrentUser, kRunOnceKey, L"Valmora").empty(); }
  std::vector<std::wstring> Events() const { return journal.events; }
};

using EventList = std::vector<std::wstring>;

// It ends at once whatever the command line; a start the user made first
// shows the one that runs, an unattended one leaves no trace.
TEST_F(StartupTest, SecondInstanceEndsAtOnceWhateverTheCommandLine) {
  otherInstance = true;
  const struct {
    const wchar_t* commandLine;
    bool shows;
  } cases[] = {{L"/shutdown", false}, {L"/reopen", false}, {L"", true}, {L"/watch", true}, {L"-bad", true}};
  for (const auto& c : cases) {
    journal.events.clear();
    EXPECT_EQ(Run(c.commandLine), StartupOutcome::Ended);
    const EventList expected = c.shows ? EventList{L"show the running one", L"close"} : EventList{L"close"};
    EXPECT_EQ(Events(), expected) << c.commandLine;
  }
  EXPECT_EQ(fs.writes, 0);
}

TEST_F(StartupTest, ShutdownRunScansWarnsAndEndsUnseen) {
  EXPECT_EQ(Run(L"/shutdown /reopen"), StartupOutcome::Ended);
  EXPECT_EQ(Events(), (EventList{L"go:scan", L"inshutdown", L"close"}));
  EXPECT_EQ(state.strLogFile, kLogPath);
}

TEST_F(StartupTest, InvalidCommandLineShowsMessageThenHelpAndWritesNothing) {
  for (const wchar_t* line : {L"-reopen", L"reopen", L"/re open"}) {
    journal.events.clear();
    EXPECT_EQ(Run(line), StartupOutcome::Ended) << line;
    EXPECT_EQ(Events(), (EventList{L"msgbox:Commandline is invalid", L"msgbox:Commandline:   Valmora  [options]", L"close"}))
        << line;
  }
  EXPECT_EQ(fs.writes, 0);
  EXPECT_TRUE(registry.keys.empty());
}

TEST_F(StartupTest, BlankCommandLineIsInteractiveAndShowsTheSummary) {
  Log("05/12/2026 14:07\r\nC:\\a.xlsx\r\n");
  EXPECT_EQ(Run(L"   "), StartupOutcome::Running);
  EXPECT_EQ(view.msg1,
            L"Open at last check:  05/12/2026 14:07\r\nExcel: 1\r\nWord: none\r\nPowerPoint: none\r\nOutlook: none\r\n"
            L"Other: none");
  EXPECT_EQ(Events(), EventList{L"display"});
  EXPECT_FALSE(state.blnLoading);
  EXPECT_FALSE(state.blnWatching);
  EXPECT_EQ(view.cmdLine, L"");
}

// Division goes toward zero, also when the window is larger than the screen.
// Kept beside the exe whenever its folder can be written, as always; in a
// folder such as Program Files the log goes to the user's own folder, and
// the window says where.
TEST_F(StartupTest, TheLogGoesToTheUsersFolderWhenTheExesCannotBeWritten) {
  struct Case {
    bool exeFolderLocked, userFolderLocked;
    const wchar_t* commandLine;
    const wchar_t* log;
    const wchar_t* caption;
  };
  const Case cases[] = {
      {false, false, L"", L"C:\\V\\Valmora.txt", L""},
      {true, false, L"", L"C:\\Users\\u\\Local\\Valmora\\Valmora.txt",
       L"Log: C:\\Users\\u\\Local\\Valmora\\Valmora.txt"},
      {true, false, L"/watch", L"C:\\Users\\u\\Local\\Valmora\\Valmora.txt",
       L"Watch mode set via commandline; Log: C:\\Users\\u\\Local\\Valmora\\Valmora.txt"},
      {true, true, L"", L"C:\\V\\Valmora.txt", L""},  // nowhere to write: the first write says so
  };
  for (const Case& c : cases) {
    fs.lockedFolders.clear();
    fs.folders.clear();
    view.cmdLine.clear();
    if (c.exeFolderLocked) fs.lockedFolders.insert(L"C:\\V");
    if (c.userFolderLocked) fs.lockedFolders.insert(L"C:\\Users\\u\\Local\\Valmora");
    state.perUserFolder = L"C:\\Users\\u\\Local\\Valmora";
    Run(c.commandLine);
    EXPECT_EQ(state.strLogFile, c.log) << c.exeFolderLocked << c.userFolderLocked << c.commandLine;
    EXPECT_EQ(view.cmdLine, c.caption) << c.exeFolderLocked << c.userFolderLocked << c.commandLine;
    EXPECT_EQ(fs.folders.contains(L"C:\\Users\\u\\Local\\Valmora"), c.exeFolderLocked && !c.userFolderLocked);
  }
}

TEST_F(StartupTest, WindowIsCentredAQuarterDown) {
  struct Case {
    TwipSize screen, window;
    long left, top;
  };
  const Case cases[] = {
      {{19200, 10800}, {5955, 3501}, 6622, 1824},
      {{19200, 10800}, {20001, 10803}, -400, 0},
      {{4800, 3600}, {5955, 3807}, -577, -51},
  };
  for (const Case& c : cases) {
    view.screen = c.screen;
    view.window = c.window;
    Run(L"");
    EXPECT_EQ(view.left, c.left) << c.window.width;
    EXPECT_EQ(view.top, c.top) << c.window.height;
  }
}

TEST_F(StartupTest, ReopenRunAsksWhenAnyKindHasEntries) {
  struct Case {
    const char* log;  // nullptr: no log at all
    bool asks;
  };
  const Case cases[] = {
      {nullptr, false},
      {"05/12/2026 14:07\r\n", false},
      {"05/12/2026 14:07\r\nC:\\w.docx\r\n", true},
      {"05/12/2026 14:07\r\nC:\\w.docx\r\nC:\\e.xls\r\n", true},
      {"C:\\notes.txt\r\n", true},
      {"05/12/2026 14:07\r\nPowerPoint:C:\\Q4.pptx\r\n", true},
  };
  for (const Case& c : cases) {
    journal.events.clear();
    fs.files.clear();
    if (c.log) Log(c.log);
    RegisterReopen();
    EXPECT_EQ(Run(L"/REOPEN"), StartupOutcome::Ended);
    EXPECT_EQ(journal.Has(L"ask"), c.asks) << (c.log ? c.log : "no log");
    EXPECT_EQ(journal.Has(L"go:reopen"), c.asks) << (c.log ? c.log : "no log");
    EXPECT_EQ(Events().back(), L"close");
    EXPECT_FALSE(RunOnceValueExists());
  }
  EXPECT_EQ(view.cmdLine, L"Reopen mode set via commandline");
  EXPECT_TRUE(state.blnCmdLineMode);
}

TEST_F(StartupTest, ReopenRunWithNoAnswerReopensNothing) {
  Log("C:\\w.docx\r\n");
  questions.answer = false;
  Run(L"/reopen /watch");
  EXPECT_EQ(Events(), (EventList{L"display", L"ask", L"close"}));
}

TEST_F(StartupTest, WatchCommandLineOffersReopenThenScansAndStartsTheTimer) {
  Log("C:\\w.docx\r\n");
  EXPECT_EQ(Run(L"/watchdog"), StartupOutcome::Running);
  EXPECT_EQ(Events(), (EventList{L"initwatch", L"display", L"ask", L"timer", L"go:reopen", L"go:scan", L"display"}));
  EXPECT_EQ(view.cmdLine, L"Watch mode set via commandline");
  EXPECT_TRUE(state.blnWatching);
  EXPECT_TRUE(state.blnCmdLineMode);
}

// At logon the registration starts a watch run: it offers the reopen as a
// watch run from the command line does, before its first scan overwrites
// the list that the end of the last session saved.
TEST_F(StartupTest, WatchRegistrationOffersTheReopenBeforeTheFirstScan) {
  struct Case {
    const char* log;  // nullptr: no log at all
    const wchar_t* commandLine;
    bool asks;
  };
  const Case cases[] = {
      {"C:\\w.docx\r\nC:\\e.xls\r\n", L"", true},
      {"05/12/2026 14:07\r\nC:\\w.docx\r\n", L"/watch", true},
      {"05/12/2026 14:07\r\n", L"", false},
      {nullptr, L"/watch", false},
  };
  for (const Case& c : cases) {
    journal.events.clear();
    fs.files.clear();
    if (c.log) Log(c.log);
    RegisterWatch(L"\"C:\\V\\Valmora.exe\" /WATCH");
    RegisterReopen();
    EXPECT_EQ(Run(c.commandLine), StartupOutcome::Running);
    EXPECT_TRUE(view.watchPressed);
    EXPECT_FALSE(view.reopenPressed);  // RunOnce is not read beside a watch registration
    const EventList expected = c.asks ? EventList{L"initwatch", L"display", L"ask", L"timer", L"go:reopen",
                                                  L"go:scan", L"display"}
                                      : EventList{L"initwatch", L"display", L"timer", L"go:scan", L"display"};
    EXPECT_EQ(Events(), expected) << (c.log ? c.log : "no log");
  }
}

TEST_F(StartupTest, WatchRegistrationWithReopenRunAsksAndReopensNothing) {
  Log("C:\\w.docx\r\nC:\\e.xls\r\n");
  RegisterWatch(L"\"C:\\V\\Valmora.exe\" /watch");
  RegisterReopen();
  EXPECT_EQ(Run(L"/reopen"), StartupOutcome::Ended);
  EXPECT_EQ(Events(), EventList{L"close"});
  EXPECT_FALSE(state.blnWatching);
  EXPECT_FALSE(RunOnceValueExists());
}

TEST_F(StartupTest, OnlyAnExactEndingCountsAsARegistration) {
  for (const wchar_t* value : {L"\"C:\\V\\Valmora.exe\" /watch ", L"\"C:\\V\\Valmora.exe\" /watc"}) {
    journal.events.clear();
    RegisterWatch(value);
    EXPECT_EQ(Run(L""), StartupOutcome::Running);
    EXPECT_FALSE(view.watchPressed) << value;
    EXPECT_FALSE(state.blnWatching) << value;
  }
  registry.keys.clear();
  registry.Put(kRunKey, L"Other", L"x /watch");
  Run(L"");
  EXPECT_FALSE(view.watchPressed);
}

TEST_F(StartupTest, ReopenRegistrationShowsTheToggleOnly) {
  RegisterReopen();
  EXPECT_EQ(Run(L""), StartupOutcome::Running);
  EXPECT_TRUE(view.reopenPressed);
  EXPECT_TRUE(RunOnceValueExists());
  EXPECT_EQ(Events(), EventList{L"display"});
}

TEST_F(StartupTest, MissingCapabilitiesAreLeftOut) {
  Log("C:\\w.docx\r\n");
  state.commandLine = L"/watch";
  state.exeFolder = L"C:\\V";
  state.exeBaseName = L"Valmora";
  StartupServices services{[] { return std::make_unique<Guard>(false); }, view, registry, fs, locale};
  EXPECT_EQ(RunStartup(state, services), StartupOutcome::Running);
  EXPECT_EQ(Events(), (EventList{L"display", L"display"}));
}

TEST(MatchCommandLine, FirstSwitchFoundDecides) {
  struct Case {
    const wchar_t* line;
    CommandLineRun run;
  };
  const Case cases[] = {
      {L"/REOPEN", CommandLineRun::Reopen},       {L"/reopen /watch", CommandLineRun::Reopen},
      {L"/watch /shutdown", CommandLineRun::Shutdown}, {L"/watchdog", CommandLineRun::Watch},
      {L"x/Watch=30y", CommandLineRun::Watch},    {L"-reopen", CommandLineRun::Invalid},
      {L"reopen", CommandLineRun::Invalid},       {L"", CommandLineRun::Interactive},
      {L"    ", CommandLineRun::Interactive},     {L"\t", CommandLineRun::Interactive},
      {L" \t \t", CommandLineRun::Interactive},   {L"\t/watch\t", CommandLineRun::Watch},
      {L"\tx\t", CommandLineRun::Invalid},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchCommandLine(c.line), c.run) << c.line;
}

// Blanks and tabs are both white space, wherever they stand.
TEST(MatchCommandLine, AgreesWithArgumentsAfterProgramOnWhiteSpace) {
  for (const wchar_t* full : {L"Valmora.exe\t", L"Valmora.exe \t \t", L"\"C:\\V\\Valmora.exe\"\t\t",
                              L"\"C:\\V\\Valmora.exe\" \t"}) {
    EXPECT_EQ(MatchCommandLine(ArgumentsAfterProgram(full)), CommandLineRun::Interactive) << full;
    EXPECT_EQ(MatchCommandLine(ArgumentsAfterProgram(std::wstring(full) + L"x\t")), CommandLineRun::Invalid) << full;
  }
}

// Unquoted, a path with blanks would otherwise end at its first blank, and a
// plain start would find "Files\V\Valmora.exe" where no argument was given.
TEST(ArgumentsAfterProgram, TheProgramsOwnPathGoesWholeQuotedOrNot) {
  const std::wstring self = L"C:\\Program Files\\V\\Valmora.exe";
  struct Case {
    const wchar_t* full;
    const wchar_t* args;
  };
  const Case cases[] = {
      {L"C:\\Program Files\\V\\Valmora.exe", L""},
      {L"C:\\Program Files\\V\\Valmora.exe /watch", L"/watch"},
      {L"c:\\program files\\v\\VALMORA.EXE\t/reopen", L"/reopen"},
      {L"\"C:\\Program Files\\V\\Valmora.exe\" /watch", L"/watch"},
      {L"C:\\Program Files\\V\\Valmora.exe2 /watch", L"Files\\V\\Valmora.exe2 /watch"},  // not its path
      {L"Valmora.exe /watch", L"/watch"},
  };
  for (const Case& c : cases) EXPECT_EQ(ArgumentsAfterProgram(c.full, self), c.args) << c.full;
}

TEST(ArgumentsAfterProgram, SkipsTheProgramPathAsThePlatformDoes) {
  struct Case {
    const wchar_t* full;
    const wchar_t* args;
  };
  const Case cases[] = {
      {L"\"C:\\Program Files\\V\\Valmora.exe\" /watch=30", L"/watch=30"},
      {L"C:\\V\\Valmora.exe   /reopen  ", L"/reopen  "},
      {L"C:\\V\\Valmora.exe\t\t/reopen", L"/reopen"},
      {L"\"C:\\V\\Valmora.exe\"\t \t", L""},
      {L"Valmora.exe", L""},
      {L"\"C:\\V\\Valmora.exe\"", L""},
      {L"\"unterminated", L""},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(ArgumentsAfterProgram(c.full), c.args) << c.full;
}

}  // namespace
}  // namespace valmora
