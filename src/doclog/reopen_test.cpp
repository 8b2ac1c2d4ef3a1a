#include "doclog/reopen.h"

#include <gtest/gtest.h>

#include "msgbox/msgbox_layout.h"
#include "testing/fakes.h"
#include "testing/go_fakes.h"

namespace valmora {
namespace {

using namespace valmora::testing;

constexpr wchar_t kLog[] = L"C:\\App\\Valmora.txt";
constexpr GoFlags kReopenWord{.pblnReopenW = true};
const StopRequested kGoesOn = [] { return false; };

class ReopenTest : public ::testing::Test {
 protected:
  void WriteLog(const std::string& bytes) { fs.files[kLog] = bytes; }
  void AddFile(const std::wstring& path) { fs.files[path] = "x"; }

  FakeFileSystem fs;
  FakeLocale locale;
  FakeOffice office;
  FakeScanView view;
  FakeNotices notices;
  FakeShell shell;
  std::vector<std::wstring> journal;  // opens and pauses, in order
  const std::wstring logPath = kLog;
  Reopener reopener{{office, logPath, fs, locale, view, notices, shell,
                     [this](std::int32_t ms) { journal.push_back(L"pause " + std::to_wstring(ms)); }}};
};

TEST_F(ReopenTest, ReopenAllOpensWhatIsNotOpenInLogOrderAndWarnsAboutWhatIsMissing) {
  WriteLog("05/12/2026 14:07\r\n"
           "C:\\D\\open.xlsx\r\n"
           "C:\\Notes\\here.txt\r\n"
           "C:\\Notes\\gone.txt\r\n"
           "C:\\D\\gone.docx\r\n"
           "Excel:C:\\Notes\\here.txt\r\n"  // once by hand, once scanned: opened once
           "Excel:C:\\D\\prices.csv\r\n"
           "C:\\D\\gone.docx\r\n"
           "Outlook:00AA'05/12/26 Lunch\r\n"
           "Outlook:00DD'01/12/26 Old news\r\n"
           "Outlook:00FF\r\n"
           "\r\n");
  AddFile(L"C:\\D\\open.xlsx");
  AddFile(L"C:\\Notes\\here.txt");
  AddFile(L"C:\\D\\prices.csv");
  office.apps[OfficeApp::Excel] = {AppState::Read, {{true, L"C:\\D", true, L"open.xlsx", L"C:\\D\\open.xlsx"}}, {}};
  office.outlookItems[L"00AA"] = {LookupAnswer::Found, L"Inbox"};
  office.outlookItems[L"00DD"] = {LookupAnswer::Found, L"Deleted Items"};
  shell.opened.clear();

  reopener.Reopen(kReopenAll, kGoesOn);

  EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\Notes\\here.txt (max)", L"C:\\D\\gone.docx (max)",
                                                     L"C:\\D\\prices.csv (max)", L"Outlook:00AA (max)",
                                                     L"Outlook:00FF (max)"}));
  EXPECT_EQ(std::count(journal.begin(), journal.end(), L"pause 1000"), 5);
  ASSERT_EQ(notices.warnings.size(), 2u);
  EXPECT_EQ(notices.warnings[0], std::make_pair(std::wstring(L"File C:\\D\\gone.docx not found"), 0));
  EXPECT_EQ(notices.warnings[1].first, L"Outlook item (no name/desc available) not found");
  ASSERT_GE(view.captions.size(), 2u);
  EXPECT_EQ(view.captions.front(), L"Excel: 3\r\nWord: 2\r\nPowerPoint: none\r\nOutlook: 3\r\nOther: 1");
  EXPECT_EQ(view.captions[1], L"Reopening\r\nC:\\D\\open.xlsx");
  EXPECT_EQ(view.msg1, L"");  // cleared at the end
  EXPECT_EQ(view.topmostTrail, (std::vector<bool>{true, false}));
  EXPECT_EQ(view.busyTrail, (std::vector<bool>{true, false}));
}

// What could not be reopened is said once, after the reopen, with the
// system's reason; at logon, where nobody may be at the keyboard, the "not
// found" warnings join it and the notice closes by itself.
TEST_F(ReopenTest, WhatCouldNotBeReopenedIsSaidOnceAfterTheReopen) {
  WriteLog("C:\\D\\a.xlsx\r\nC:\\D\\gone.docx\r\nC:\\D\\b.xlsx\r\nC:\\D\\c.xlsx\r\nPowerPoint:C:\\D\\q.pptx\r\n");
  for (const wchar_t* file : {L"C:\\D\\a.xlsx", L"C:\\D\\b.xlsx", L"C:\\D\\c.xlsx", L"C:\\D\\q.pptx"}) AddFile(file);
  office.apps[OfficeApp::PowerPoint] = {AppState::GaveUp, {}, {}};  // hung: the deck may be open already
  shell.refused[L"C:\\D\\a.xlsx"] = L"Access is denied.";
  shell.refused[L"C:\\D\\gone.docx"] = L"The system cannot find the file specified.";  // said once, as missing
  shell.refused[L"C:\\D\\c.xlsx"] = L"No application is associated with the specified file.";
  const std::wstring refusedA = L"Could not open C:\\D\\a.xlsx: Access is denied.";
  const std::wstring refusedC = L"Could not open C:\\D\\c.xlsx: No application is associated with the specified file.\r\n"
      L"Not reopened while PowerPoint does not answer: C:\\D\\q.pptx";
  const struct {
    GoFlags flags;
    std::vector<std::pair<std::wstring, int>> warnings;
    std::wstring notice;  // left for Go to show once the reopen is over
  } cases[] = {
      {kReopenAll,
       {{L"File C:\\D\\gone.docx not found", 0},
        {L"Not everything could be reopened:\r\n\r\n" + refusedA + L"\r\n" + refusedC, 0}},
       L""},
      {kStartupReopen,  // in the log's order
       {},
       L"Not everything could be reopened:\r\n\r\n" + refusedA + L"\r\nFile C:\\D\\gone.docx not found\r\n" + refusedC},
  };
  for (const auto& c : cases) {
    notices.warnings.clear();
    const ReopenOutcome outcome = reopener.Reopen(c.flags, kGoesOn);
    EXPECT_EQ(notices.warnings, c.warnings);
    EXPECT_EQ(outcome.notice, c.notice);
    EXPECT_EQ(outcome.handedOver, (std::vector<std::wstring>{L"C:\\D\\a.xlsx", L"C:\\D\\gone.docx",
                                                             L"C:\\D\\b.xlsx", L"C:\\D\\c.xlsx"}));
  }
}

// Only an Outlook that answered "no such item" is reported; one that gave
// no answer in time (busy, hung, still stuck) is handed to the shell quietly.
TEST_F(ReopenTest, AnOutlookThatGaveNoAnswerIsNotReportedAsNotFound) {
  struct Case {
    LookupAnswer answer;
    const wchar_t* folder;
    bool warned, opened;
  };
  const Case cases[] = {{LookupAnswer::Found, L"Inbox", false, true},
                        {LookupAnswer::Found, L"Deleted Items", false, false},
                        {LookupAnswer::NotFound, L"", true, true},
                        {LookupAnswer::GaveUp, L"", false, true}};
  for (const Case& c : cases) {
    WriteLog("Outlook:00AA'05/12/26 Lunch\r\n");
    office.outlookItems[L"00AA"] = {c.answer, c.folder};
    notices.warnings.clear();
    shell.opened.clear();
    reopener.Reopen(kReopenAll, kGoesOn);
    EXPECT_EQ(notices.warnings.size(), c.warned ? 1u : 0u) << static_cast<int>(c.answer);
    EXPECT_EQ(shell.opened.size(), c.opened ? 1u : 0u) << static_cast<int>(c.answer);
  }
}

TEST_F(ReopenTest, ReopenOnlyWordLeavesTheLabelAsItWas) {
  WriteLog("05/12/2026 14:07\r\nC:\\D\\a.xlsx\r\nC:\\D\\b.xlsx\r\nC:\\D\\w.docx\r\n");
  AddFile(L"C:\\D\\w.docx");
  view.msg1 = L"Open at last check: ...";
  reopener.Reopen(kReopenWord, kGoesOn);
  EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\D\\w.docx (max)"}));
  EXPECT_EQ(view.captions, (std::vector<std::wstring>{L"Reopening\r\nC:\\D\\w.docx", L"Open at last check: ..."}));
}

TEST_F(ReopenTest, WhatIsAlreadyOpenCostsNoOpenAndNoPause) {
  WriteLog("C:\\D\\w.docx\r\nOutlook:00AA'05/12/26 Lunch\r\n");
  AddFile(L"C:\\D\\w.docx");
  office.apps[OfficeApp::Word] = {AppState::Read, {{true, L"C:\\D", false, L"w.docx", L"C:\\D\\w.docx"}}, {}};
  office.apps[OfficeApp::Outlook] = {AppState::Read, {}, {{L"00AA", true, L"Lunch", std::nullopt}}};
  reopener.Reopen(kReopenAll, kGoesOn);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(office.journal, (std::vector<std::wstring>{L"gather", L"gather"}));  // no lookup needed
}

// A scanned deck goes to the shell as its path, unless PowerPoint has it
// open; one that is gone is named first. Only the PowerPoint kind reopens it.
TEST_F(ReopenTest, PresentationsReopenAsTheirPathsUnlessOpenOrGone) {
  WriteLog(
      "PowerPoint:C:\\Decks\\open.pptx\r\nPowerPoint:C:\\Decks\\Q4 plan.pptx\r\n"
      "PowerPoint:C:\\Decks\\gone.pptx\r\nPowerPoint:https://corvellan.example/Team.pptx\r\n"
      "C:\\Decks\\by hand.pptx\r\n");
  for (const wchar_t* deck : {L"C:\\Decks\\open.pptx", L"C:\\Decks\\Q4 plan.pptx", L"C:\\Decks\\by hand.pptx"}) {
    AddFile(deck);
  }
  office.apps[OfficeApp::PowerPoint] = {
      AppState::Read, {{true, L"C:\\Decks", true, L"open.pptx", L"C:\\Decks\\open.pptx"}}, {}};
  reopener.Reopen({.pblnReopenP = true}, kGoesOn);
  EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\Decks\\Q4 plan.pptx (max)", L"C:\\Decks\\gone.pptx (max)",
                                                     L"https://corvellan.example/Team.pptx (max)"}));
  ASSERT_EQ(notices.warnings.size(), 1u);
  EXPECT_EQ(notices.warnings[0].first, L"File C:\\Decks\\gone.pptx not found");

  shell.opened.clear();
  reopener.Reopen({.pblnReopenN = true}, kGoesOn);
  EXPECT_EQ(shell.opened, std::vector<std::wstring>{L"C:\\Decks\\by hand.pptx (max)"});
}

TEST_F(ReopenTest, CloudDocumentsGoToTheShellWithoutAFileTest) {
  WriteLog("https://contoso.example/sites/team/Budget.xlsx\r\nhttps://contoso.example/Plan%20B.docx\r\n");
  office.apps[OfficeApp::Word] = {
      AppState::Read, {{true, L"https://contoso.example", true, L"Plan B.docx", L"https://contoso.example/Plan%20B.docx"}},
      {}};
  reopener.Reopen(kReopenAll, kGoesOn);
  EXPECT_TRUE(notices.warnings.empty());
  EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"https://contoso.example/sites/team/Budget.xlsx (max)"}));
}

TEST_F(ReopenTest, NothingToReopenWithoutALogOrWithOnlyItsDateLine) {
  reopener.Reopen(kReopenAll, kGoesOn);
  EXPECT_TRUE(view.captions.empty());
  EXPECT_EQ(view.topmostTrail, (std::vector<bool>{true, false}));

  WriteLog("05/12/2026 14:07\r\n");
  reopener.Reopen(kReopenAll, kGoesOn);
  EXPECT_EQ(view.captions.front(), L"Excel: none\r\nWord: none\r\nPowerPoint: none\r\nOutlook: none\r\nOther: none");
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(ReopenTest, AnEndOfTheProgramDuringThePauseStopsTheReopen) {
  WriteLog("C:\\N\\1.txt\r\nC:\\N\\2.txt\r\nC:\\N\\3.txt\r\n");
  for (const wchar_t* f : {L"C:\\N\\1.txt", L"C:\\N\\2.txt", L"C:\\N\\3.txt"}) AddFile(f);
  bool ending = false;
  Reopener closing{{office, logPath, fs, locale, view, notices, shell, [&ending](std::int32_t) {
                      ending = true;  // the close box, clicked during the first pause
                    }}};
  closing.Reopen(kReopenAll, [&ending] { return ending; });
  EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\N\\1.txt (max)"}));
  EXPECT_EQ(view.topmostTrail.back(), false);
}

TEST_F(ReopenTest, AMissingPathWithAnAtSignIsNamedAsItIs) {
  WriteLog("C:\\D\\Plan@2026.xlsx\r\n");
  reopener.Reopen(kReopenAll, kGoesOn);
  ASSERT_EQ(notices.warnings.size(), 1u);
  const MsgBoxLayout shown = LayOutMsgBox(L"2   0" + notices.warnings[0].first, 0);
  EXPECT_EQ(shown.display.text, L"File C:\\D\\Plan@2026.xlsx not found");
}

TEST(ReopenRules, OutlookLinesSplitAtTheFirstApostrophe) {
  struct Case {
    const wchar_t* line;
    const wchar_t* id;
    const wchar_t* description;
  };
  const Case cases[] = {
      {L"Outlook:00AB'05/12/26 Lunch", L"00AB", L"05/12/26 Lunch"},
      {L"outlook:00AB'it's 'quoted'", L"00AB", L"it's 'quoted'"},
      {L"Outlook:00AB", L"00AB", L""},
      {L"Outlook:", L"", L""},
  };
  for (const Case& c : cases) {
    const OutlookEntryParts parts = SplitOutlookEntry(c.line);
    EXPECT_EQ(parts.itemId, c.id) << c.line;
    EXPECT_EQ(parts.description, c.description) << c.line;
  }
}

TEST(ReopenRules, WebAddressesAreASchemeFollowedByTwoSlashes) {
  EXPECT_TRUE(IsWebAddress(L"https://contoso.example/a.xlsx"));
  EXPECT_TRUE(IsWebAddress(L"HTTP://x/y.docx"));
  EXPECT_FALSE(IsWebAddress(L"C:\\Data\\a.xlsx"));
  EXPECT_FALSE(IsWebAddress(L"\\\\server\\share\\a.xlsx"));
  EXPECT_FALSE(IsWebAddress(L"://nothing.xlsx"));
  EXPECT_FALSE(IsWebAddress(L"C:\\odd://name.xlsx"));
}

}  // namespace
}  // namespace valmora
