// Whole sequences of a user's day through the real Valmora.exe: one event
// arriving in the middle of another, and what the log holds afterwards.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "fake_office.h"
#include "harness.h"
#include "mainwindow/control_ids.h"
#include "msgbox/msgbox_ids.h"
#include "shell_record.h"
#include "startup/startup.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;
namespace msgbox = valmora::msgbox_ids;

std::wstring Message(HWND box) { return Text(::GetDlgItem(box, msgbox::kTxtMessage)); }
std::wstring Label(HWND main) { return Text(::GetDlgItem(main, ids::kLblMsg1)); }
bool Locked(HWND main) { return !::IsWindowEnabled(::GetDlgItem(main, ids::kCmdGetCurr)); }

constexpr char kDayExcel[] =
    "[Excel]\n"
    "workbook C:\\valmora-e2e\\day\\Budget.xlsx\n"
    "workbook C:\\valmora-e2e\\day\\Plan.xlsx\n  Saved = false\n";
constexpr char kDayWord[] =
    "[Word]\n"
    "document C:\\valmora-e2e\\day\\Report.docx\n"
    "document Document2\n  Saved = false\n";
constexpr char kDayWordSaved[] =
    "[Word]\n"
    "document C:\\valmora-e2e\\day\\Report.docx\n"
    "document C:\\valmora-e2e\\day\\Document2.docx\n";
constexpr char kOpenAtLogoff[] =
    "C:\\valmora-e2e\\day\\Budget.xlsx\r\nC:\\valmora-e2e\\day\\Plan.xlsx\r\nC:\\valmora-e2e\\day\\Report.docx\r\n";

// Watch mode from the Run value, ticks, the logoff with a never-saved
// document, Office gone, the next logon: the list comes back.
TEST(DayE2E, AWholeDayInWatchModeKeepsTheListForTheNextLogon) {
  Registrations registrations;
  ShellRecord record;
  TestFolder folder(L"day");
  for (const wchar_t* file : {L"Budget.xlsx", L"Plan.xlsx", L"Report.docx", L"Document2.docx"}) {
    folder.WriteFile(file, "x");
  }
  registrations.RegisterWatch(folder);
  auto excel = std::make_unique<FakeOffice>(L"Excel", kDayExcel);
  auto word = std::make_unique<FakeOffice>(L"Word", kDayWord);
  ASSERT_TRUE(excel->Start() && word->Start());

  {
    Process valmora(folder.Exe(), L"/watch=2");  // no log yet: nothing to offer
    HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(folder.Log()).find("Report.docx") != std::string::npos; }, 60s));
    const std::string firstTick = ReadBytes(folder.Log());
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(folder.Log()) != firstTick; }, 60s)) << "the ticks rewrite it";

    SessionEndQuery session(main);
    HWND warning = valmora.WaitForNewWindow(msgbox::kWindowClass, nullptr, 60s);
    ASSERT_NE(warning, nullptr);
    EXPECT_NE(Message(warning).find(L"new (never been saved) in Word."), std::wstring::npos) << Message(warning);
    const std::string firstMerge = ReadBytes(folder.Log());
    EXPECT_TRUE(firstMerge.starts_with(kOpenAtLogoff)) << "merged before the warning:\n" << firstMerge;
    std::this_thread::sleep_for(5s);  // two ticks' time: none may write between the merges
    EXPECT_EQ(ReadBytes(folder.Log()), firstMerge);

    word.reset();  // the user saves the document while warned
    word = std::make_unique<FakeOffice>(L"Word", kDayWordSaved);
    ASSERT_TRUE(word->Start());
    PressDialogButton(warning, msgbox::kCmdOk);
    EXPECT_EQ(session.Answer(), static_cast<DWORD_PTR>(TRUE));
    const std::string secondMerge = ReadBytes(folder.Log());
    EXPECT_TRUE(secondMerge.starts_with(std::string(kOpenAtLogoff) + "C:\\valmora-e2e\\day\\Document2.docx\r\n"))
        << "merged again after the warning:\n" << secondMerge;
    SendBounded(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, 20s);
    EXPECT_EQ(valmora.WaitForExit(30s), 0u);
    EXPECT_EQ(ReadBytes(folder.Log()), secondMerge) << "the end wrote nothing more";
  }
  excel.reset();  // the session is over: no Office at the next logon
  word.reset();

  Process valmora(folder.Exe(), L"/watch");  // as the Run value starts it
  HWND question = valmora.WaitForMessageSaying(valmora::kStartupQuestion);
  ASSERT_NE(question, nullptr) << "the logon start offers the reopen";
  Screenshot(question, L"logon_watch_question");
  const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
  const std::wstring day = folder.Path();
  const std::vector<ShellRequest> everyItemOnce{{day + L"\\Budget.xlsx", maximised},
                                                {day + L"\\Plan.xlsx", maximised},
                                                {day + L"\\Report.docx", maximised},
                                                {day + L"\\Document2.docx", maximised}};
  EXPECT_EQ(record.WaitFor(4, 60s), everyItemOnce) << "left alone, the question answers Yes";
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Label(main).starts_with(L"Currently open:  "); }, 60s)) << "then it watches";
  EXPECT_EQ(record.ReadWhenQuiet(), everyItemOnce) << "nothing twice";
  PressDialogButton(Idle(main), ids::kCmdExit);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

// A tick waits for an Excel and a PowerPoint that hang past their deadline
// when the session ends: the end is not skipped, it keeps what the log had of
// both, and the tick writes nothing over it.
TEST(DayE2E, TheEndOfTheSessionDuringATickThatWaitsForHungApplicationsStillWarnsAndMergesTwice) {
  Registrations registrations;
  TestFolder folder(L"day_hung_tick");
  registrations.RegisterWatch(folder);
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Data\\a.xlsx\r\nPowerPoint:C:\\Data\\q.pptx\r\n");
  FakeOffice excel(L"Excel", "[Excel]\nworkbook C:\\Data\\a.xlsx\n  FullName hangs\n");
  FakeOffice powerPoint(L"PowerPoint", "[PowerPoint]\npresentation C:\\Data\\q.pptx\n  Path hangs\n");
  auto word = std::make_unique<FakeOffice>(L"Word", "[Word]\ndocument C:\\Data\\Report.docx\ndocument Document2\n"
                                                    "  Saved = false\n");
  ASSERT_TRUE(excel.Start() && powerPoint.Start() && word->Start());
  Process valmora(folder.Exe(), L"/watch=1");
  HWND question = valmora.WaitForMessageSaying(valmora::kStartupQuestion);
  ASSERT_NE(question, nullptr);
  PressDialogButton(question, msgbox::kCmdNo);
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ReadBytes(folder.Log()).find("Report.docx") != std::string::npos; }, 60s));
  // Every tick now waits its deadline for the hung Excel: catch one waiting.
  ASSERT_TRUE(WaitUntil([&] { return Locked(main); }, 30s));

  SessionEndQuery session(main);
  HWND warning = valmora.WaitForNewWindow(msgbox::kWindowClass, nullptr, 60s);
  ASSERT_NE(warning, nullptr) << "the end of the session was skipped";
  EXPECT_NE(Message(warning).find(L"new (never been saved) in Word."), std::wstring::npos) << Message(warning);
  EXPECT_TRUE(ReadBytes(folder.Log()).starts_with("C:\\Data\\Report.docx\r\n")) << ReadBytes(folder.Log());
  word.reset();
  word = std::make_unique<FakeOffice>(L"Word", "[Word]\ndocument C:\\Data\\Report.docx\ndocument C:\\Data\\D2.docx\n");
  ASSERT_TRUE(word->Start());
  PressDialogButton(warning, msgbox::kCmdOk);
  EXPECT_EQ(session.Answer(), static_cast<DWORD_PTR>(TRUE));
  const std::string merged = ReadBytes(folder.Log());
  EXPECT_TRUE(merged.starts_with("C:\\Data\\Report.docx\r\nC:\\Data\\D2.docx\r\n")) << merged;
  for (const char* kept : {"\r\nC:\\Data\\a.xlsx\r\n", "\r\nPowerPoint:C:\\Data\\q.pptx\r\n"}) {
    EXPECT_NE(merged.find(kept), std::string::npos) << kept << " lost from\n" << merged;
  }
  std::this_thread::sleep_for(8s);  // the interrupted tick's deadline and more
  EXPECT_EQ(ReadBytes(folder.Log()), merged) << "the interrupted tick wrote over the merges";
  SendBounded(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, 20s);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
  excel.Kill();
  powerPoint.Kill();
}

// "&Reopen at Lg" alone: the next logon reopens the log, so the end of the
// session saves what is open, as watch mode does.
TEST(DayE2E, WithOnlyReopenAtLogonTheEndOfTheSessionSavesWhatIsOpen) {
  Registrations registrations;
  FakeOffice excel(L"Excel", "[Excel]\nworkbook C:\\Data\\a.xlsx\n");
  ASSERT_TRUE(excel.Start());
  TestFolder folder(L"day_reopen_at_logon");
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  PressDialogButton(Idle(main), ids::kCmdReopenOnRestart);
  ASSERT_TRUE(WaitUntil([&] { return IsPressed(::GetDlgItem(main, ids::kCmdReopenOnRestart)); }));
  SessionEndQuery session(main);
  EXPECT_EQ(session.Answer(), static_cast<DWORD_PTR>(TRUE));
  EXPECT_TRUE(ReadBytes(folder.Log()).starts_with("C:\\Data\\a.xlsx\r\n")) << ReadBytes(folder.Log());
  SendBounded(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, 20s);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

// "Re&open Now" with three logged files, ended in its first pause by the
// close box, "E&xit" or the File menu's Exit.
TEST(DayE2E, AnEndDuringTheFirstReopenPauseOpensNoMoreAndKeepsTheLogAsItWas) {
  struct Case {
    const wchar_t* name;
    void (*end)(HWND main);
  };
  const Case cases[] = {
      {L"reopen_close_box", [](HWND main) { ::PostMessageW(main, WM_CLOSE, 0, 0); }},
      {L"reopen_exit", [](HWND main) { PressDialogButton(main, ids::kCmdExit); }},
      {L"reopen_menu_exit",
       [](HWND main) { ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kMnuFileExit, 0), 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)));
    ShellRecord record;
    TestFolder folder(c.name);
    std::string log = "12/5/2026 14:07\r\n";
    std::string path;
    for (const char* file : {"1.txt", "2.txt", "3.txt"}) {
      folder.WriteFile(std::wstring(file, file + 5), "x");
      path.assign(folder.Path().begin(), folder.Path().end());
      log += path + "\\" + file + "\r\n";
    }
    folder.WriteFile(L"Valmora.txt", log);
    Process valmora(folder.Exe(), L"");
    HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
    ASSERT_NE(main, nullptr);
    PressDialogButton(Idle(main), ids::kCmdReopen);
    // The label names each file as it is handed over; the pause follows.
    ASSERT_TRUE(WaitUntil([&] { return Label(main).starts_with(L"Reopening") && Label(main).ends_with(L"1.txt"); },
                          30s));
    c.end(main);
    EXPECT_EQ(valmora.WaitForExit(30s), 0u);
    EXPECT_LT(record.ReadWhenQuiet().size(), 3u);
    EXPECT_EQ(ReadBytes(folder.Log()), log) << "byte for byte as it was";
  }
}

// An Excel that hangs keeps a worker of the last scan busy while the process
// ends; the guard is not held meanwhile.
TEST(DayE2E, AStartRightAfterExitOwnsTheGuard) {
  FakeOffice excel(L"Excel", "[Excel]\nworkbook C:\\Data\\a.xlsx\n  FullName hangs\n");
  ASSERT_TRUE(excel.Start());
  TestFolder folder(L"day_restart");
  Process first(folder.Exe(), L"");
  HWND main = first.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  PressDialogButton(Idle(main), ids::kCmdGetCurr);
  ASSERT_TRUE(WaitUntil([&] { return Label(main).starts_with(L"Currently open:  "); }, 60s));
  PressDialogButton(Idle(main), ids::kCmdExit);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(main); }, 20s));

  Process next(folder.Exe(), L"-bad");  // owns the guard: shows the invalid command line
  HWND box = next.WaitForWindow(L"#32770");
  ASSERT_NE(box, nullptr) << "refused by the guard of a program that had already gone";
  EXPECT_EQ(MessageBoxText(box), L"Commandline is invalid");
  excel.Kill();
}

}  // namespace
}  // namespace e2e
