// Every Office instance and PowerPoint through the real Valmora.exe: a second
// Excel that only the Running Object Table shows, presentations saved,
// changed and never saved, and the log lines they leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "fake_office.h"
#include "harness.h"
#include "library/utf.h"
#include "mainwindow/control_ids.h"
#include "msgbox/msgbox_ids.h"
#include "shell_record.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;
namespace msgbox = valmora::msgbox_ids;

std::wstring Message(HWND box) { return Text(::GetDlgItem(box, msgbox::kTxtMessage)); }

constexpr char kFirstExcel[] = "[Excel]\nworkbook C:\\Data\\a1.xlsx\nworkbook C:\\Data\\a2.xlsx\n  Saved = false\n";
constexpr char kSecondExcel[] = "[Excel]\nworkbook C:\\Data\\b1.xlsx\nworkbook C:\\Data\\b2.xlsx\n";
constexpr char kPowerPoint[] =
    "[PowerPoint]\n"
    "presentation C:\\Talks\\Saved.pptx\n"
    "presentation C:\\Talks\\Changed.pptx\n  Saved = false\n"
    "presentation Presentation3\n  Saved = false\n"
    "presentation C:\\Talks\\Windowless.pptx\n  Windows = 0\n";

TEST(InstancesE2E, AShutdownRunLogsEveryInstanceAndPresentationOnceAndWarnsAboutTheNewOne) {
  FakeOffice excel(L"Excel", kFirstExcel), secondExcel(L"Excel", kSecondExcel, 2), powerPoint(L"PowerPoint", kPowerPoint);
  ASSERT_TRUE(excel.Start() && secondExcel.Start() && powerPoint.Start());
  TestFolder folder(L"instances_shutdown");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Notes\\by hand.pptx\r\n");
  Process valmora(folder.Exe(), L"/shutdown");

  HWND warning = valmora.WaitForNewWindow(msgbox::kWindowClass);
  ASSERT_NE(warning, nullptr) << "a never-saved presentation is warned about";
  EXPECT_NE(Message(warning).find(L"(never been saved) in PowerPoint.\r\n"), std::wstring::npos) << Message(warning);
  Screenshot(warning, L"shutdown_warning_powerpoint");
  PressDialogButton(warning, msgbox::kCmdOk);
  EXPECT_EQ(valmora.WaitForExit(60s), 0u);

  const std::string log = ReadBytes(folder.Log());
  EXPECT_TRUE(log.starts_with("C:\\Data\\a1.xlsx\r\nC:\\Data\\a2.xlsx\r\nC:\\Data\\b1.xlsx\r\nC:\\Data\\b2.xlsx\r\n"
                              "PowerPoint:C:\\Talks\\Saved.pptx\r\nPowerPoint:C:\\Talks\\Changed.pptx\r\n"))
      << log;
  for (const char* entry : {"a1.xlsx", "a2.xlsx", "b1.xlsx", "b2.xlsx", "Saved.pptx", "Changed.pptx"}) {
    EXPECT_EQ(Occurrences(log, entry), 1u) << entry << " in\n" << log;
  }
  EXPECT_EQ(Occurrences(log, "Windowless.pptx"), 0u) << "no window: not the user's";
  EXPECT_TRUE(log.ends_with("\r\nC:\\Notes\\by hand.pptx\r\n")) << "the hand-added deck stays hand-added:\n" << log;
}

TEST(InstancesE2E, GetCurrNamesTheNewPresentationAndListUnsavedTheChangedOnes) {
  FakeOffice excel(L"Excel", kFirstExcel), secondExcel(L"Excel", kSecondExcel, 2), powerPoint(L"PowerPoint", kPowerPoint);
  ASSERT_TRUE(excel.Start() && secondExcel.Start() && powerPoint.Start());
  TestFolder folder(L"instances_interactive");
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);

  PressDialogButton(main, ids::kCmdGetCurr);
  HWND notice = valmora.WaitForNewWindow(msgbox::kWindowClass);
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(Message(notice), L"** PLEASE NOTE **\r\nThere are documents that are new (never been saved) in PowerPoint .\r\n"
                             L"These documents will NOT be reopened automatically after system reboot.\r\n"
                             L"If you wish them to be included, save them to disk then rerun this command.\r\n\r\n"
                             L"Presentation3\r\n");
  PressDialogButton(notice, msgbox::kCmdOk);
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(main, ids::kCmdListUnsavedDocs)) != FALSE; }));
  const std::wstring summary = Text(::GetDlgItem(main, ids::kLblMsg1));
  EXPECT_EQ(summary.substr(summary.find(L"\r\n") + 2),
            L"Excel: 4 docs open of which 1 is unsaved\r\nWord: no docs open\r\n"
            L"PowerPoint: 2 docs open of which 1 is unsaved, excludes 1 NEW\r\nOutlook: no items open");
  Screenshot(main, L"main_with_powerpoint");

  PressDialogButton(main, ids::kCmdListUnsavedDocs);
  HWND list = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    list = valmora.WaitForWindow(msgbox::kWindowClass, 100ms);
    return list && Message(list).starts_with(L"Documents flagged");
  }));
  EXPECT_EQ(Message(list), L"Documents flagged as unsaved:\r\n\r\na2.xlsx\r\nChanged.pptx\r\n");
  PressDialogButton(list, msgbox::kCmdOk);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

// A Word that hangs must cost no other application its entries: whatever a
// scan could not read of Excel because of it, the log keeps.
TEST(InstancesE2E, AHungWordLosesNoEntryOfTheOtherInstances) {
  FakeOffice excel(L"Excel", kFirstExcel), secondExcel(L"Excel", kSecondExcel, 2),
      word(L"Word", "[Word]\ndocument C:\\Data\\w.docx\n  FullName hangs\n");
  ASSERT_TRUE(excel.Start() && secondExcel.Start() && word.Start());
  TestFolder folder(L"instances_hung_word");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Data\\b2.xlsx\r\nC:\\Data\\w.docx\r\nC:\\Notes\\n.txt\r\n");
  Process valmora(folder.Exe(), L"/shutdown");
  EXPECT_EQ(valmora.WaitForExit(90s), 0u);
  const std::string log = ReadBytes(folder.Log());
  for (const char* entry : {"C:\\Data\\a1.xlsx\r\n", "C:\\Data\\a2.xlsx\r\n", "C:\\Data\\b2.xlsx\r\n",
                            "C:\\Data\\w.docx\r\n", "C:\\Notes\\n.txt\r\n"}) {
    EXPECT_EQ(Occurrences(log, entry), 1u) << entry << " in\n" << log;
  }
  word.Kill();
}

// A scan answers only for what it read: each row is Office as it was, the log
// before a /shutdown run, and what the merged log must hold afterwards (each
// line once) and must not hold. An application that did not answer
// completely keeps every line the log had of it.
TEST(InstancesE2E, EachApplicationAnswersForItselfAndFailsClosed) {
  struct Instance {
    const wchar_t* application;
    std::string scenario;
    int instance = 1;
  };
  struct Case {
    const char* what;
    std::vector<Instance> office;
    std::string logBefore;
    std::vector<std::string> once, absent;
  };
  const std::string twoBooks = "12/5/2026 14:07\r\nC:\\Data\\a1.xlsx\r\nC:\\Data\\b1.xlsx\r\n";
  const Case cases[] = {
      {"a second instance busy at every call",
       {{L"Excel", "[Excel]\nworkbook C:\\Data\\a1.xlsx\n"}, {L"Excel", "[Excel]\nbusy always\nworkbook C:\\Data\\b1.xlsx\n", 2}},
       twoBooks, {"C:\\Data\\a1.xlsx\r\n", "C:\\Data\\b1.xlsx\r\n"}, {}},
      {"a second instance rejecting calls as a cell is edited",
       {{L"Excel", "[Excel]\nworkbook C:\\Data\\a1.xlsx\n"},
        {L"Excel", "[Excel]\nrejected from 2\nworkbook C:\\Data\\b1.xlsx\n", 2}},
       twoBooks, {"C:\\Data\\a1.xlsx\r\n", "C:\\Data\\b1.xlsx\r\n"}, {}},
      {"a workbook whose name Excel will not give while busy",
       {{L"Excel", "[Excel]\nworkbook C:\\Data\\a1.xlsx\nworkbook C:\\Data\\b1.xlsx\n  FullName ignored-exception 1000\n"}},
       twoBooks, {"C:\\Data\\a1.xlsx\r\n", "C:\\Data\\b1.xlsx\r\n"}, {}},
      {"a document whose path is refused as busy",
       {{L"Word", "[Word]\ndocument C:\\Data\\w.docx\n  Path ignored 1000\n"}},
       "12/5/2026 14:07\r\nC:\\Data\\w.docx\r\n", {"C:\\Data\\w.docx\r\n"}, {}},
      {"an Excel run as administrator",
       {{L"Excel", "[Excel]\nregister off\nworkbook C:\\Data\\a1.xlsx\n"}},
       twoBooks, {"C:\\Data\\a1.xlsx\r\n", "C:\\Data\\b1.xlsx\r\n"}, {}},
      {"files Excel and Word open that are not theirs by name, one in two instances",
       {{L"Excel", "[Excel]\nworkbook C:\\Data\\prices.csv\n"}, {L"Excel", "[Excel]\nworkbook C:\\Data\\prices.csv\n", 2},
        {L"Word", "[Word]\ndocument C:\\Data\\notes.txt\n"}},
       "12/5/2026 14:07\r\nC:\\Notes\\by hand.txt\r\n",
       {"Excel:C:\\Data\\prices.csv\r\n", "Word:C:\\Data\\notes.txt\r\n", "C:\\Notes\\by hand.txt\r\n"},
       {"\r\nC:\\Data\\prices.csv", "\r\nC:\\Data\\notes.txt"}},
      {"a program that is not Excel but says so in its name",
       {{L"Other", "[Other]\nname = Contoso Excel Viewer\ndocument C:\\Data\\foreign.xlsx\n"},
        {L"Excel", "[Excel]\nworkbook C:\\Data\\a1.xlsx\n"}},
       "12/5/2026 14:07\r\n", {"C:\\Data\\a1.xlsx\r\n"}, {"foreign.xlsx"}},
      {"a closed workbook goes while Word hangs",
       {{L"Excel", "[Excel]\nworkbook C:\\Data\\a1.xlsx\n"}, {L"Excel", "[Excel]\nworkbook C:\\Data\\b1.xlsx\n", 2},
        {L"Word", "[Word]\nDocuments hangs\ndocument C:\\Data\\w.docx\n"}},
       "12/5/2026 14:07\r\nC:\\Data\\closed.xlsx\r\nC:\\Data\\w.docx\r\n",
       {"C:\\Data\\a1.xlsx\r\n", "C:\\Data\\b1.xlsx\r\n", "C:\\Data\\w.docx\r\n"}, {"closed.xlsx"}},
      {"an instance another program started hidden",
       {{L"Excel", "[Excel]\nworkbook C:\\Data\\a1.xlsx\n"},
        {L"Excel", "[Excel]\nVisible = false\nworkbook C:\\Data\\hidden.xlsx\n", 2}},
       "12/5/2026 14:07\r\n", {"C:\\Data\\a1.xlsx\r\n"}, {"hidden.xlsx"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::unique_ptr<FakeOffice>> office;
    for (const Instance& i : c.office) {
      office.push_back(std::make_unique<FakeOffice>(i.application, i.scenario, i.instance));
      ASSERT_TRUE(office.back()->Start());
    }
    TestFolder folder(L"instances_closed");
    folder.WriteFile(L"Valmora.txt", c.logBefore);
    Process valmora(folder.Exe(), L"/shutdown");
    EXPECT_EQ(valmora.WaitForExit(90s), 0u);
    const std::string log = ReadBytes(folder.Log());
    for (const std::string& line : c.once) EXPECT_EQ(Occurrences(log, line), 1u) << line << " in\n" << log;
    for (const std::string& part : c.absent) EXPECT_EQ(Occurrences(log, part), 0u) << part << " in\n" << log;
    for (auto& server : office) server->Kill();
  }
}

// Running but not attachable: the lines stay, and the label says why.
TEST(InstancesE2E, AnExcelThatCannotBeAttachedIsNamedAndKeepsItsLines) {
  FakeOffice excel(L"Excel", "[Excel]\nregister off\nworkbook C:\\Data\\a1.xlsx\n");
  ASSERT_TRUE(excel.Start());
  TestFolder folder(L"instances_unreachable");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Data\\a1.xlsx\r\n");
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  PressDialogButton(main, ids::kCmdGetCurr);
  ASSERT_TRUE(WaitUntil([&] { return Text(::GetDlgItem(main, ids::kLblMsg1)).starts_with(L"Currently open:"); }, 60s));
  EXPECT_TRUE(Text(::GetDlgItem(main, ids::kLblMsg1)).ends_with(L"\r\nRunning but cannot be read: Excel"))
      << valmora::ToUtf8(Text(::GetDlgItem(main, ids::kLblMsg1)));
  Screenshot(main, L"main_excel_unreachable");
  EXPECT_EQ(Occurrences(ReadBytes(folder.Log()), "C:\\Data\\a1.xlsx\r\n"), 1u) << ReadBytes(folder.Log());
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

// Each instance numbers its never-saved workbooks from Book1: a second one
// whose only workbook shares the first's name is still found and warned about.
TEST(InstancesE2E, ASecondInstanceWithOnlyABook1IsWarnedAbout) {
  FakeOffice second(L"Excel", "[Excel]\nworkbook Book1\n  Saved = false\n", 2);
  FakeOffice first(L"Excel", "[Excel]\nworkbook Book1\nworkbook C:\\Data\\a1.xlsx\n");
  ASSERT_TRUE(second.Start() && first.Start());
  TestFolder folder(L"instances_book1");
  Process valmora(folder.Exe(), L"/shutdown");
  HWND warning = valmora.WaitForNewWindow(msgbox::kWindowClass, nullptr, 60s);
  ASSERT_NE(warning, nullptr) << "the second instance's new Book1 was missed";
  EXPECT_NE(Message(warning).find(L"(never been saved) in Excel.\r\n"), std::wstring::npos) << Message(warning);
  PressDialogButton(warning, msgbox::kCmdOk);
  EXPECT_EQ(valmora.WaitForExit(60s), 0u);
}

// What any instance has open is not opened again; each missing deck goes to
// the shell once, as its path.
TEST(InstancesE2E, AReopenSkipsWhatEveryInstanceHasOpenAndHandsEachMissingDeckOverOnce) {
  ShellRecord record;
  TestFolder folder(L"instances_reopen");
  const std::string dir = valmora::ToUtf8(folder.Path());
  for (const wchar_t* name : {L"b1.xlsx", L"open.pptx", L"closed.pptx", L"closed.xlsx"}) folder.WriteFile(name, "x");
  FakeOffice excel(L"Excel", "[Excel]\n"), secondExcel(L"Excel", "[Excel]\nworkbook " + dir + "\\b1.xlsx\n", 2),
      powerPoint(L"PowerPoint", "[PowerPoint]\npresentation " + dir + "\\open.pptx\n");
  ASSERT_TRUE(excel.Start() && secondExcel.Start() && powerPoint.Start());
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\n" + dir + "\\b1.xlsx\r\n" + dir + "\\closed.xlsx\r\nPowerPoint:" + dir +
                                       "\\open.pptx\r\nPowerPoint:" + dir + "\\closed.pptx\r\n");
  Process valmora(folder.Exe(), L"/reopen");
  HWND question = valmora.WaitForWindow(msgbox::kWindowClass);
  ASSERT_NE(question, nullptr);
  PressDialogButton(question, msgbox::kCmdYes);
  EXPECT_EQ(valmora.WaitForExit(60s), 0u);
  const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
  EXPECT_EQ(record.ReadWhenQuiet(), (std::vector<ShellRequest>{{folder.Path() + L"\\closed.xlsx", maximised},
                                                              {folder.Path() + L"\\closed.pptx", maximised}}));
}

}  // namespace
}  // namespace e2e
