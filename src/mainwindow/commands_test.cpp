#include "mainwindow/commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "doclog/log_encoding.h"
#include "doclog/reopen.h"
#include "doclog/scanner.h"
#include "testing/fakes.h"
#include "testing/go_fakes.h"

namespace valmora {
namespace {

using namespace valmora::testing;

constexpr wchar_t kLog[] = L"C:\\App\\Valmora.txt";

// frmMain: the scan's view and the start-up's view are one window.
struct FakeMainWindow : FakeScanView, MainView {
  void SetCmdLineCaption(const std::wstring&) override {}
  void SetMsg1Caption(const std::wstring& t) override { FakeScanView::SetMsg1Caption(t); }
  void SetWatchModePressed(bool) override {}
  bool IsWatchModePressed() const override { return false; }
  void SetReopenOnRestartPressed(bool) override {}
  bool IsReopenOnRestartPressed() const override { return false; }
  TwipSize ScreenSize() const override { return {}; }
  TwipSize WindowSize() const override { return {}; }
  void MoveTo(long, long) override {}
  void Display() override {}
  void Close() override { closed = true; }
  void ShowRunningInstance() override {}
  void ShowStandardMessage(const std::wstring& t, MessageIcon) override { standard.push_back(t); }
  bool closed = false;
  std::vector<std::wstring> standard;
};

struct FakeQuestion : StandardQuestion {
  bool answer = true;
  std::vector<std::wstring> asked;
  bool AskYesNo(const std::wstring& text, bool) override {
    asked.push_back(text);
    return answer;
  }
};

struct FakeFileDialog : OpenFileDialog {
  std::wstring chosen;
  std::vector<std::wstring> shown;
  std::wstring Choose(const std::wstring& title, const std::wstring& filter) override {
    shown.push_back(title + L"|" + filter);
    return chosen;
  }
};

class CommandsTest : public ::testing::Test {
 protected:
  std::wstring Log() const {
    std::wstring text;
    for (const auto& line : DecodeLogLines(fs.files.at(kLog), locale)) text += line + L"|";
    return text;
  }

  FakeFileSystem fs;
  FakeLocale locale;
  FixedClock clock;
  FakeOffice office;
  FakeMainWindow window;
  FakeNotices notices;
  FakeShell shell;
  FakeQuestion question;
  FakeFileDialog fileDialog;
  GoState state;
  const std::wstring logPath = kLog;
  Reopener reopener{{office, logPath, fs, locale, window, notices, shell, [](std::int32_t) {}}};
  Scanner scanner{state, {office, logPath, fs, locale, clock, window, notices, &reopener}};
  const std::wstring exeBaseName = L"Valmora";
  std::vector<MainCommand> others;
  LogWriteReport writeReport{notices};
  MainWindowCommands commands{{state, scanner, logPath, fs, locale, window, question, fileDialog, shell, writeReport,
                               exeBaseName, [this](MainCommand c, bool) { others.push_back(c); }}};
};

constexpr char kTwoHandAdded[] = "01/12/2026 09:00\r\nC:\\D\\gone.docx\r\nC:\\N\\a.txt\r\nC:\\N\\b.pdf\r\n";

TEST_F(CommandsTest, GetCurrAsksAndKeepsTheHandAddedFilesOnYes) {
  fs.files[kLog] = kTwoHandAdded;
  office.apps[OfficeApp::Word] = {AppState::Read, {{true, L"C:\\D", true, L"w.docx", L"C:\\D\\w.docx"}}, {}};
  commands.OnCommand(MainCommand::GetCurr, false);
  ASSERT_EQ(question.asked.size(), 1u);
  EXPECT_EQ(question.asked[0], std::wstring(kRetainQuestion) + L"\r\n\r\nFiles:\r\nC:\\N\\a.txt\r\nC:\\N\\b.pdf\r\n");
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\w.docx|C:\\N\\a.txt|C:\\N\\b.pdf|");  // each once
  EXPECT_EQ(window.msg1,
            L"Open at last check:  05/12/2026 14:07\r\nExcel: none\r\nWord: 1\r\nPowerPoint: none\r\n"
            L"Outlook: none\r\nOther: 2");
}

// The notice waits for the user; a session end or a crash meanwhile must
// find the hand-added files already in the log.
TEST_F(CommandsTest, TheHandAddedFilesAreInTheLogBeforeTheNeverSavedNoticeShows) {
  fs.files[kLog] = kTwoHandAdded;
  office.apps[OfficeApp::Word] = {AppState::Read, {{true, L"", false, L"Document2", L"Document2"}}, {}};
  std::wstring logDuringNotice;
  notices.whileShown = [&] { logDuringNotice = Log(); };
  commands.GetCurr(true);
  ASSERT_EQ(notices.infos.size(), 1u);
  EXPECT_EQ(logDuringNotice, L"05/12/2026 14:07|C:\\N\\a.txt|C:\\N\\b.pdf|");
  EXPECT_EQ(Log(), logDuringNotice);
}

TEST_F(CommandsTest, GetCurrDropsThemOnNo) {
  fs.files[kLog] = kTwoHandAdded;
  question.answer = false;
  commands.GetCurr(true);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|");
  EXPECT_EQ(window.msg1.substr(0, 17), L"Currently open:  ");
}

TEST_F(CommandsTest, GetCurrWithoutTheQuestionOrWithoutHandAddedFilesAsksNothing) {
  commands.GetCurr(true);  // no log at all
  EXPECT_EQ(Log(), L"05/12/2026 14:07|");
  fs.files[kLog] = kTwoHandAdded;
  commands.GetCurr(false);
  EXPECT_TRUE(question.asked.empty());
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\N\\a.txt|C:\\N\\b.pdf|");
}

TEST_F(CommandsTest, ReopenAllReopensRescansAndPutsTheHandAddedFilesBackOnce) {
  fs.files[kLog] = "01/12/2026 09:00\r\nC:\\D\\w.docx\r\nC:\\N\\a.txt\r\nC:\\N\\b.pdf\r\n";
  for (const wchar_t* f : {L"C:\\D\\w.docx", L"C:\\N\\a.txt", L"C:\\N\\b.pdf"}) fs.files[f] = "x";
  office.onGather = [&] {  // Word has the document open once the shell has opened it
    if (!shell.opened.empty()) {
      office.apps[OfficeApp::Word] = {AppState::Read, {{true, L"C:\\D", true, L"w.docx", L"C:\\D\\w.docx"}}, {}};
    }
  };
  commands.OnCommand(MainCommand::Reopen, false);
  EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\D\\w.docx (max)", L"C:\\N\\a.txt (max)",
                                                     L"C:\\N\\b.pdf (max)"}));
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\w.docx|C:\\N\\a.txt|C:\\N\\b.pdf|");
  EXPECT_EQ(window.msg1.substr(window.msg1.rfind(L"\r\n") + 2), L"Other: 2");
  EXPECT_TRUE(state.blnKeepShown);  // no icon: the window stays
  EXPECT_FALSE(window.hidden);
  EXPECT_TRUE(question.asked.empty());
}

// The list the log held before this run first wrote it ("No" at logon, a
// scan since): reopened as the log is, said from when, and kept by the rescan.
TEST_F(CommandsTest, ReopenPreviousSessionReopensTheListTheLogHeldBefore) {
  commands.OnCommand(MainCommand::FileReopenPrevious, false);
  EXPECT_EQ(window.msg1, L"No list of an earlier session has been kept yet.");
  EXPECT_TRUE(office.journal.empty());

  fs.files[L"C:\\App\\Valmora.previous.txt"] = "01/12/2026 09:00\r\nC:\\D\\w.docx\r\nC:\\N\\a.txt\r\n";
  fs.files[kLog] = "05/12/2026 14:00\r\nC:\\N\\b.pdf\r\n";
  for (const wchar_t* f : {L"C:\\D\\w.docx", L"C:\\N\\a.txt", L"C:\\N\\b.pdf"}) fs.files[f] = "x";
  commands.OnCommand(MainCommand::FileReopenPrevious, false);
  EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\D\\w.docx (max)", L"C:\\N\\a.txt (max)"}));
  ASSERT_FALSE(window.captions.empty());
  EXPECT_TRUE(std::find(window.captions.begin(), window.captions.end(),
                        L"Session of 01/12/2026 09:00\r\nExcel: none\r\nWord: 1\r\nPowerPoint: none\r\nOutlook: none\r\n"
                        L"Other: 1") != window.captions.end());
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\D\\w.docx|C:\\N\\b.pdf|") << "Word may still be opening it";
}

TEST_F(CommandsTest, ReopenAllInWatchModeHidesTheWindowAgain) {
  state.blnWatching = state.trayIconShown = true;
  commands.ReopenAll();
  EXPECT_FALSE(state.blnKeepShown);
  EXPECT_TRUE(window.hidden);
}

TEST_F(CommandsTest, ALogThatCannotBeReadIsNeitherReopenedNorOverwritten) {
  fs.files[kLog] = kTwoHandAdded;
  fs.failReads = true;
  for (MainCommand command : {MainCommand::Reopen, MainCommand::GetCurr}) {
    window.msg1.clear();
    commands.OnCommand(command, false);
    EXPECT_EQ(window.msg1, L"The log could not be read (is it open in another program?), so it was left as it is:"
                           L"\r\nC:\\App\\Valmora.txt");
  }
  EXPECT_EQ(fs.writes, 0);
  EXPECT_TRUE(office.journal.empty());
}

TEST_F(CommandsTest, SingleKindButtonsReopenOnlyTheirKindAndLeaveTheLog) {
  fs.files[kLog] = "01/12/2026 09:00\r\nC:\\D\\e.xlsx\r\nC:\\D\\w.docx\r\nOutlook:00AA'x\r\nC:\\N\\a.txt\r\n";
  for (const wchar_t* f : {L"C:\\D\\e.xlsx", L"C:\\D\\w.docx", L"C:\\N\\a.txt"}) fs.files[f] = "x";
  office.outlookItems[L"00AA"] = {LookupAnswer::Found, L"Inbox"};
  const struct {
    MainCommand command;
    const wchar_t* opened;
  } cases[] = {{MainCommand::ReopenExcelOnly, L"C:\\D\\e.xlsx (max)"},
               {MainCommand::ReopenWordOnly, L"C:\\D\\w.docx (max)"},
               {MainCommand::ReopenOutlookOnly, L"Outlook:00AA (max)"},
               {MainCommand::ReopenNonOffOnly, L"C:\\N\\a.txt (max)"}};
  for (const auto& c : cases) {
    shell.opened.clear();
    commands.OnCommand(c.command, false);
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{c.opened});
  }
  EXPECT_EQ(fs.writes, 0);
}

TEST_F(CommandsTest, ListUnsavedScansAndLists) {
  office.apps[OfficeApp::Excel] = {AppState::Read, {{true, L"C:\\D", false, L"Budget.xlsx", L"C:\\D\\Budget.xlsx"}}, {}};
  commands.OnCommand(MainCommand::ListUnsavedDocs, false);
  ASSERT_EQ(notices.infos.size(), 1u);
  EXPECT_EQ(notices.infos[0].first, L"Documents flagged as unsaved:\r\n\r\nBudget.xlsx\r\n");
}

TEST_F(CommandsTest, AHandAddedFileSurvivesTheRescanAnOfficePathDoesNot) {
  fileDialog.chosen = L"C:\\Data\\notes.txt";
  commands.OnCommand(MainCommand::FileManualAdd, false);
  EXPECT_EQ(fileDialog.shown, std::vector<std::wstring>{std::wstring(L"Choose file to add to reopen log|All types (*.*)") +
                                                         L'\0' + L"*.*" + L'\0'});
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\Data\\notes.txt|");
  EXPECT_TRUE(question.asked.empty());

  fileDialog.chosen = L"C:\\Data\\Budget.xls";  // not open in Excel: the rescan drops it
  commands.OnCommand(MainCommand::FileManualAdd, false);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|C:\\Data\\notes.txt|");

  fileDialog.chosen.clear();  // Cancel still rescans
  fs.files[kLog] = "old\r\n";
  commands.OnCommand(MainCommand::FileManualAdd, false);
  EXPECT_EQ(Log(), L"05/12/2026 14:07|old|");
}

// A file the user chose but the log cannot take is said at once, with the
// system's reason; the rescan that follows fails the same way and says
// nothing more, and neither does any later scan of this run.
TEST_F(CommandsTest, AManualAdditionTheLogCannotTakeIsToldOnce) {
  fs.files[kLog] = "05/12/2026 14:07\r\n";
  fs.failWrites = true;
  fileDialog.chosen = L"C:\\Data\\notes.txt";
  commands.OnCommand(MainCommand::FileManualAdd, false);
  ASSERT_EQ(notices.warnings.size(), 1u);
  EXPECT_EQ(notices.warnings[0].first,
            L"C:\\Data\\notes.txt could not be added to the log\r\nC:\\App\\Valmora.txt\r\n\r\nAccess is denied.");
  EXPECT_EQ(notices.warnings[0].second, 0);
  commands.OnCommand(MainCommand::GetCurr, false);
  EXPECT_EQ(notices.warnings.size(), 1u);
}

TEST_F(CommandsTest, OpenLogHandsTheLogToTheShellOnlyWhenThereIsOne) {
  commands.OnCommand(MainCommand::FileOpenLog, false);
  EXPECT_TRUE(shell.opened.empty());
  ASSERT_EQ(window.standard.size(), 1u);
  EXPECT_EQ(window.standard[0], L"No list has been saved yet. It will be kept in\r\nC:\\App\\Valmora.txt");
  fs.files[kLog] = "x\r\n";
  commands.OnCommand(MainCommand::FileOpenLog, false);
  EXPECT_EQ(shell.opened, std::vector<std::wstring>{L"C:\\App\\Valmora.txt"});
}

TEST_F(CommandsTest, HelpShowsTheCommandLineTheBadgeOpensTheSiteTheRestGoElsewhere) {
  commands.OnCommand(MainCommand::HelpHelp, false);
  ASSERT_EQ(window.standard.size(), 1u);
  EXPECT_TRUE(window.standard[0].starts_with(L"Commandline:   Valmora  [options]\r\n"));
  commands.OnCommand(MainCommand::Copyright, false);
  EXPECT_EQ(shell.opened, std::vector<std::wstring>{L"http://www.corvellan.example"});
  for (MainCommand c : {MainCommand::WatchMode, MainCommand::ReopenOnRestart, MainCommand::PopupRestore,
                        MainCommand::ExecuteCmd, MainCommand::HelpAbout, MainCommand::Exit}) {
    commands.OnCommand(c, false);
  }
  EXPECT_EQ(others.size(), 6u);
  EXPECT_FALSE(window.closed) << "the program's end is not the window's to decide";
}

}  // namespace
}  // namespace valmora
