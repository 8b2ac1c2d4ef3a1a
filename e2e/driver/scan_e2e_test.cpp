// Scans and reopens of the real Valmora.exe against the fake Office server.
#include <gtest/gtest.h>

#include <thread>

#include "fake_office.h"
#include "harness.h"
#include "mainwindow/control_ids.h"
#include "msgbox/msgbox_ids.h"
#include "shell_record.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;
namespace msgbox = valmora::msgbox_ids;

// The log's lines after the first, which holds the time of the scan.
std::string AfterFirstLine(const std::string& log) {
  const std::size_t end = log.find("\r\n");
  return end == std::string::npos ? log : log.substr(end + 2);
}

std::wstring Message(HWND box) { return Text(::GetDlgItem(box, msgbox::kTxtMessage)); }

constexpr char kExcel[] =
    "[Excel]\n"
    "workbook C:\\Data\\Budget.xlsx\n  Saved = false\n"
    "workbook C:\\Data\\Archive.xlsx\n  Visible = false\n"
    "workbook Book1\n";
constexpr char kWord[] = "[Word]\ndocument C:\\Data\\Report.docx\n";
constexpr char kOutlook[] =
    "[Outlook]\ninspector\n  EntryID = 00AB12\n  Subject = Lunch\n  CreationTime = 2026-05-12 09:30\n";

TEST(ScanE2E, AShutdownRunWritesWhatIsOpenBesideTheExeAndShowsNoWindow) {
  FakeOffice excel(L"Excel", kExcel), word(L"Word", kWord), outlook(L"Outlook", kOutlook);
  ASSERT_TRUE(excel.Start() && word.Start() && outlook.Start());
  TestFolder folder(L"scan_shutdown");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Notes\\plan.txt\r\n");
  Process valmora(folder.Exe(), L"/shutdown");
  EXPECT_EQ(valmora.WaitForExit(60s), 0u);
  // Merged at the end: what is open first, then the rest of the previous log.
  const std::string log = ReadBytes(folder.Log());
  const std::string open = "C:\\Data\\Budget.xlsx\r\nC:\\Data\\Report.docx\r\nOutlook:00AB12'12/05/26 Lunch\r\n";
  ASSERT_TRUE(log.starts_with(open)) << log;
  const std::string rest = log.substr(open.size());
  EXPECT_TRUE(rest.ends_with("\r\nC:\\Notes\\plan.txt\r\n")) << log;
  EXPECT_EQ(std::count(rest.begin(), rest.end(), '\n'), 2) << "the date line of the first scan, the hand-added file";
}

TEST(ScanE2E, NeverSavedWordDocumentAtShutdownIsWarnedAboutAndTheSecondScanSeesItSaved) {
  auto word = std::make_unique<FakeOffice>(L"Word", "[Word]\ndocument Document2\n  Saved = false\n");
  ASSERT_TRUE(word->Start());
  TestFolder folder(L"scan_warning");
  Process valmora(folder.Exe(), L"/shutdown");
  HWND warning = valmora.WaitForNewWindow(msgbox::kWindowClass);
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(Message(warning), L"** PLEASE NOTE **\r\n"
                              L"There are/were documents that are new (never been saved) in Word.\r\n"
                              L"If those apps are still open, save and name the new docs now, then press Ok.\r\n"
                              L"Otherwise, those documents will NOT be reopened automatically after system reboot.");
  Screenshot(warning, L"shutdown_warning");
  EXPECT_EQ(AfterFirstLine(ReadBytes(folder.Log())), "") << "written once before the warning";
  word.reset();  // the user saves the document meanwhile
  word = std::make_unique<FakeOffice>(L"Word", "[Word]\ndocument C:\\Data\\Document2.docx\n");
  ASSERT_TRUE(word->Start());
  PressDialogButton(warning, msgbox::kCmdOk);
  EXPECT_EQ(valmora.WaitForExit(60s), 0u);
  EXPECT_TRUE(ReadBytes(folder.Log()).starts_with("C:\\Data\\Document2.docx\r\n")) << ReadBytes(folder.Log());
}

TEST(ScanE2E, FailingBusyAndHungApplicationsStillLeaveALogOfTheRest) {
  FakeOffice excel(L"Excel", "[Excel]\nworkbook C:\\Data\\a.xlsx\nworkbook C:\\Data\\b.xlsx\n  FullName hangs\n");
  FakeOffice word(L"Word", "[Word]\nbusy 3\ndocument C:\\Data\\w.docx\n  Name fails\n");
  ASSERT_TRUE(excel.Start() && word.Start());
  TestFolder folder(L"scan_faults");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Data\\b.xlsx\r\n");
  Process valmora(folder.Exe(), L"/shutdown");
  EXPECT_EQ(valmora.WaitForExit(120s), 0u);
  // Word answered after its busy spell, its failing Name costs nothing in the
  // log; Excel hung on its second workbook and was given up on: what it
  // reported and what the log held of it stay.
  const std::string log = ReadBytes(folder.Log());
  for (const char* line : {"C:\\Data\\w.docx\r\n", "C:\\Data\\a.xlsx\r\n", "C:\\Data\\b.xlsx\r\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line << " missing from\n" << log;
  }
  excel.Kill();
}

// A CR LF in a mail's subject must not end its log line: the rest would be
// a hand-added file that every reopen, the unattended one too, would open.
TEST(ScanE2E, AnOutlookSubjectStaysOnItsOneLogLine) {
  FakeOffice outlook(L"Outlook",
                     "[Outlook]\ninspector\n  EntryID = 00AB12\n  Subject = Hi\\r\\nC:\\Windows\\evil.bat\\tx\n"
                     "  CreationTime = 2026-05-12 09:30\n");
  ASSERT_TRUE(outlook.Start());
  TestFolder folder(L"scan_subject");
  Process valmora(folder.Exe(), L"/shutdown");
  EXPECT_EQ(valmora.WaitForExit(60s), 0u);
  EXPECT_EQ(ReadBytes(folder.Log()).substr(0, ReadBytes(folder.Log()).find("\r\n") + 2),
            "Outlook:00AB12'12/05/26 Hi  C:\\Windows\\evil.bat x\r\n");
  EXPECT_EQ(ReadBytes(folder.Log()).find("\r\nC:\\Windows"), std::string::npos);
}

TEST(ScanE2E, MoreThanAHundredWorkbooksLogAHundred) {
  std::string scenario = "[Excel]\n";
  for (int i = 1; i <= 105; ++i) scenario += "workbook C:\\Data\\book" + std::to_string(i) + ".xlsx\n";
  FakeOffice excel(L"Excel", scenario);
  ASSERT_TRUE(excel.Start());
  TestFolder folder(L"scan_hundred");
  Process valmora(folder.Exe(), L"/shutdown");
  EXPECT_EQ(valmora.WaitForExit(60s), 0u);
  const std::string log = ReadBytes(folder.Log());
  // The merge at the end keeps 100 entries: the workbooks; the older date line drops out.
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 100);
  EXPECT_NE(log.find("book100.xlsx"), std::string::npos);
  EXPECT_EQ(log.find("book101.xlsx"), std::string::npos);
}

TEST(ScanE2E, TheEndOfTheSessionInWatchModeWarnsAboutANeverSavedDocument) {
  Registrations registrations;
  TestFolder folder(L"scan_session_end");
  registrations.RegisterWatch(folder);
  FakeOffice word(L"Word", "[Word]\ndocument C:\\Data\\Report.docx\ndocument Document2\n  Saved = false\n");
  ASSERT_TRUE(word.Start());
  Process valmora(folder.Exe(), L"/watch=600");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ReadBytes(folder.Log()).find("Report.docx") != std::string::npos; }));
  ::DeleteFileW(folder.Log().c_str());

  SessionEndQuery session(main);
  HWND warning = valmora.WaitForNewWindow(msgbox::kWindowClass);
  ASSERT_NE(warning, nullptr);
  EXPECT_NE(Message(warning).find(L"new (never been saved) in Word."), std::wstring::npos);
  EXPECT_EQ(ReadBytes(folder.Log()).substr(0, 21), "C:\\Data\\Report.docx\r\n") << "merged before the warning";
  PressDialogButton(warning, msgbox::kCmdOk);
  EXPECT_EQ(session.Answer(), static_cast<DWORD_PTR>(TRUE));
  SendBounded(main, WM_ENDSESSION, TRUE, 0, 20s);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

TEST(ScanE2E, ATickDuringANoticeIsSkippedNotNested) {
  Registrations registrations;
  TestFolder folder(L"scan_tick_skipped");
  registrations.RegisterWatch(folder);
  FakeOffice word(L"Word", "[Word]\ndocument Document2\n  Saved = false\n");
  ASSERT_TRUE(word.Start());
  Process valmora(folder.Exe(), L"/watch=1");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  // Its never-saved notice stays up for 10 seconds. A click that lands
  // while a tick scans finds the button locked: press again, as a user would.
  HWND notice = nullptr;
  for (int i = 0; i < 10 && !notice; ++i) {
    PressDialogButton(main, ids::kCmdGetCurr);
    notice = valmora.WaitForWindow(msgbox::kWindowClass, 2s);
  }
  ASSERT_NE(notice, nullptr);
  ::DeleteFileW(folder.Log().c_str());
  std::this_thread::sleep_for(3s);  // three ticks: each would rewrite the log if it ran
  EXPECT_EQ(::GetFileAttributesW(folder.Log().c_str()), INVALID_FILE_ATTRIBUTES);
  PressDialogButton(notice, msgbox::kCmdOk);
  EXPECT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(folder.Log().c_str()) != INVALID_FILE_ATTRIBUTES; }))
      << "the ticks go on once the notice has closed";
  PressDialogButton(main, ids::kCmdExit);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

class InteractiveScan : public ::testing::Test {
 protected:
  void StartValmora() {
    valmora_ = std::make_unique<Process>(folder_.Exe(), L"");
    main_ = valmora_->WaitForWindow(ids::kMainWindowClass);
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override {
    if (main_) PressDialogButton(main_, ids::kCmdExit);
    if (valmora_) {
      EXPECT_EQ(valmora_->WaitForExit(30s), 0u);
    }
  }
  TestFolder folder_{L"scan_interactive"};
  std::unique_ptr<Process> valmora_;
  HWND main_ = nullptr;
};

TEST_F(InteractiveScan, GetCurrTellsAboutANeverSavedDocumentAndListUnsavedListsChangedOnes) {
  FakeOffice excel(L"Excel",
                   "[Excel]\nworkbook C:\\Data\\Budget.xlsx\n  Saved = false\nworkbook C:\\Data\\Plan.xlsx\n  Saved = false\n");
  FakeOffice word(L"Word", "[Word]\ndocument Document2\n  Saved = false\n");
  ASSERT_TRUE(excel.Start() && word.Start());
  StartValmora();
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(main_, ids::kCmdListUnsavedDocs)));

  PressDialogButton(main_, ids::kCmdGetCurr);
  HWND notice = valmora_->WaitForNewWindow(msgbox::kWindowClass);
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(Message(notice), L"** PLEASE NOTE **\r\nThere are documents that are new (never been saved) in Word .\r\n"
                             L"These documents will NOT be reopened automatically after system reboot.\r\n"
                             L"If you wish them to be included, save them to disk then rerun this command.\r\n\r\n"
                             L"Document2\r\n");
  Screenshot(notice, L"never_saved_notice");
  PressDialogButton(notice, msgbox::kCmdOk);
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(main_, ids::kCmdListUnsavedDocs)) != FALSE; }));
  EXPECT_EQ(Text(::GetDlgItem(main_, ids::kLblMsg1)).substr(Text(::GetDlgItem(main_, ids::kLblMsg1)).find(L"\r\n") + 2),
            L"Excel: 2 docs open of which 2 are unsaved\r\nWord: no docs open, excludes 1 NEW\r\n"
            L"PowerPoint: no docs open\r\nOutlook: no items open");

  PressDialogButton(main_, ids::kCmdListUnsavedDocs);
  HWND list = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    list = valmora_->WaitForWindow(msgbox::kWindowClass, 100ms);
    return list && Message(list).starts_with(L"Documents flagged");
  }));
  EXPECT_EQ(Message(list), L"Documents flagged as unsaved:\r\n\r\nBudget.xlsx\r\nPlan.xlsx\r\n");
  PressDialogButton(list, msgbox::kCmdOk);
  std::this_thread::sleep_for(500ms);
}

// The notice waits for the user; Windows ending the session meanwhile (it
// may end the program as soon as WM_ENDSESSION returns) must find the kept
// hand-added file already in the log.
TEST_F(InteractiveScan, TheSessionEndingDuringTheNoticeFindsTheKeptFilesInTheLog) {
  FakeOffice word(L"Word", "[Word]\ndocument Document2\n  Saved = false\n");
  ASSERT_TRUE(word.Start());
  const std::string notes = "C:\\Notes\\plan.txt\r\n";
  folder_.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\n" + notes);
  StartValmora();
  PressDialogButton(main_, ids::kCmdGetCurr);
  HWND question = valmora_->WaitForWindow(L"#32770");
  ASSERT_NE(question, nullptr);
  PressDialogButton(question, IDYES);
  ASSERT_NE(valmora_->WaitForNewWindow(msgbox::kWindowClass), nullptr);

  SendBounded(main_, WM_QUERYENDSESSION, 0, 0, 20s);
  SendBounded(main_, WM_ENDSESSION, TRUE, 0, 20s);
  valmora_.reset();  // ended, as Windows would, where Wine lets it run on
  main_ = nullptr;
  const std::string log = ReadBytes(folder_.Log());
  EXPECT_EQ(log.substr(log.find("\r\n") + 2), notes);
}

TEST_F(InteractiveScan, ReopenAllSkipsWhatIsOpenAndFindsOutlookItems) {
  ShellRecord record;
  FakeOffice excel(L"Excel", "[Excel]\nworkbook C:\\valmora-e2e\\scan_interactive\\open.xlsx\n");
  // Not running at first: the reopen creates it through automation.
  FakeOffice outlook(L"Outlook",
                     "[Outlook]\nitem\n  EntryID = 00AA\n  Subject = Lunch\nitem\n  EntryID = 00DD\n"
                     "  Folder = Deleted Items\n");
  ASSERT_TRUE(excel.Start());
  folder_.WriteFile(L"open.xlsx", "x");
  folder_.WriteFile(L"here.txt", "x");
  folder_.WriteFile(L"Valmora.txt",
                    "12/5/2026 14:07\r\nC:\\valmora-e2e\\scan_interactive\\open.xlsx\r\n"
                    "C:\\valmora-e2e\\scan_interactive\\here.txt\r\n"
                    // gone: not reopened, but kept as a hand-added line
                    "C:\\valmora-e2e\\scan_interactive\\gone.txt\r\n"
                    "Outlook:00AA'12/05/26 Lunch\r\nOutlook:00DD'01/12/26 Old news\r\nOutlook:00FF\r\n");
  StartValmora();
  PressDialogButton(main_, ids::kCmdReopen);
  HWND warning = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    warning = valmora_->WaitForWindow(msgbox::kWindowClass, 100ms);
    return warning != nullptr;
  }, 60s));
  EXPECT_EQ(Message(warning), L"Outlook item (no name/desc available) not found");
  PressDialogButton(warning, msgbox::kCmdOk);
  const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
  EXPECT_EQ(record.WaitFor(3, 60s), (std::vector<ShellRequest>{{folder_.Path() + L"\\here.txt", maximised},
                                                              {L"Outlook:00AA", maximised},
                                                              {L"Outlook:00FF", maximised}}));
  ASSERT_TRUE(WaitUntil([&] { return Text(::GetDlgItem(main_, ids::kLblMsg1)).ends_with(L"Other: 2"); }, 60s));
  EXPECT_NE(ReadBytes(folder_.Log()).find("open.xlsx"), std::string::npos) << "still open: logged again";
}

}  // namespace
}  // namespace e2e
