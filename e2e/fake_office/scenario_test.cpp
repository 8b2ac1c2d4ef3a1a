// The scenario reader: what a test writes is what the fake server serves,
// and a mistake in a scenario is named with its line instead of served.
#include "scenario.h"

#include <gtest/gtest.h>

#include "call_counts.h"

namespace fake_office {
namespace {

constexpr char kScenario[] =
    "# every application of one test\r\n"
    "[Excel]\r\n"
    "busy 2\r\n"
    "Visible = false\r\n"
    "Count fails\r\n"
    "Visible rejected 4\r\n"
    "workbook C:\\Data\\Budget 2026.xlsx\r\n"
    "  Saved = false\r\n"
    "  Name busy 3\r\n"
    "  FullName ignored-exception 2\r\n"
    "  Windows ignored 1\r\n"
    "workbook Book2\r\n"
    "  Visible = FALSE\r\n"
    "  Path hangs\r\n"
    "workbook https://example.org/sites/team/Plan.xlsx\r\n"
    "[outlook]\r\n"
    "GetItemFromID exits\r\n"
    "inspector\r\n"
    "  EntryID = 00AB\r\n"
    "  Subject = Lunch = at noon\r\n"
    "  CreationTime = 2026-05-12 09:30\r\n"
    "  CurrentItem fails\r\n"
    "item\r\n"
    "  EntryID = 00CD\r\n"
    "  Folder = Deleted Items\r\n"
    "  CreationTime = 2025-12-31 23:59:58\r\n";

TEST(FakeOfficeScenario, ReadsDocumentsWithDerivedPathsAndFaults) {
  const ParseResult result = ParseScenario(kScenario, "excel");
  ASSERT_TRUE(result.application) << result.error;
  const Application& excel = *result.application;
  EXPECT_EQ(excel.name, "Excel");
  EXPECT_EQ(excel.title, "Microsoft Excel");
  EXPECT_EQ(excel.busy, 2);
  EXPECT_EQ(excel.turnedAway.kind, FaultKind::kNone);
  EXPECT_FALSE(excel.visible);
  EXPECT_TRUE(excel.DocumentsInTable());
  EXPECT_EQ(excel.faults.at("Count").kind, FaultKind::kFails);
  ASSERT_EQ(excel.documents.size(), 3u);

  struct Expected {
    const char* path;
    const char* name;
    bool saved, visible;
  } expected[] = {{"C:\\Data", "Budget 2026.xlsx", false, true},
                  {"", "Book2", true, false},
                  {"https://example.org/sites/team", "Plan.xlsx", true, true}};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(excel.documents[i].path, expected[i].path);
    EXPECT_EQ(excel.documents[i].name, expected[i].name);
    EXPECT_EQ(excel.documents[i].saved, expected[i].saved);
    EXPECT_EQ(excel.documents[i].visible, expected[i].visible);
  }
  const struct {
    const Faults& faults;
    const char* member;
    FaultKind kind;
    int times;
  } turnedAway[] = {{excel.faults, "Visible", FaultKind::kRejected, 4},
                    {excel.documents[0].faults, "Name", FaultKind::kBusy, 3},
                    {excel.documents[0].faults, "FullName", FaultKind::kIgnoredException, 2},
                    {excel.documents[0].faults, "Windows", FaultKind::kIgnored, 1}};
  for (const auto& t : turnedAway) {
    SCOPED_TRACE(t.member);
    EXPECT_EQ(t.faults.at(t.member).kind, t.kind);
    EXPECT_EQ(t.faults.at(t.member).times, t.times);
  }
  EXPECT_EQ(excel.documents[1].faults.at("Path").kind, FaultKind::kHangs);
}

TEST(FakeOfficeScenario, ReadsPresentationsWithTheirWindowCounts) {
  const ParseResult result = ParseScenario(
      "[PowerPoint]\n"
      "rot off\n"
      "visible = FALSE\n"
      "Presentations fails\n"
      "Name busy 2\n"
      "presentation C:\\Talks\\Kick-off 2026.pptx\n"
      "  Saved = false\n"
      "  Windows busy 1\n"
      "presentation Presentation2\n"
      "  Windows = 0\n"
      "  Application exits\n"
      "presentation https://example.org/sites/team/Review.pptx\n"
      "  Windows = 2\n"
      "  Name = Review (read-only)\n",
      "powerpoint");
  ASSERT_TRUE(result.application) << result.error;
  const Application& powerPoint = *result.application;
  EXPECT_EQ(powerPoint.name, "PowerPoint");
  EXPECT_FALSE(powerPoint.registersDocuments);
  EXPECT_FALSE(powerPoint.visible);
  EXPECT_EQ(powerPoint.faults.at("Presentations").kind, FaultKind::kFails);
  EXPECT_EQ(powerPoint.faults.at("Name").times, 2);
  ASSERT_EQ(powerPoint.documents.size(), 3u);
  const struct {
    const char* path;
    const char* name;
    bool saved;
    int windows;
  } expected[] = {{"C:\\Talks", "Kick-off 2026.pptx", false, 1},
                  {"", "Presentation2", true, 0},
                  {"https://example.org/sites/team", "Review (read-only)", true, 2}};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(powerPoint.documents[i].path, expected[i].path);
    EXPECT_EQ(powerPoint.documents[i].name, expected[i].name);
    EXPECT_EQ(powerPoint.documents[i].saved, expected[i].saved);
    EXPECT_EQ(powerPoint.documents[i].windows, expected[i].windows);
  }
  EXPECT_EQ(powerPoint.documents[0].faults.at("Windows").kind, FaultKind::kBusy);
  EXPECT_EQ(powerPoint.documents[1].faults.at("Application").kind, FaultKind::kExits);
}

TEST(FakeOfficeScenario, ReadsInspectorsAndStoredItems) {
  const ParseResult result = ParseScenario(kScenario, "Outlook");
  ASSERT_TRUE(result.application) << result.error;
  const Application& outlook = *result.application;
  ASSERT_EQ(outlook.inspectors.size(), 1u);
  ASSERT_EQ(outlook.storedItems.size(), 1u);
  EXPECT_EQ(outlook.faults.at("GetItemFromID").kind, FaultKind::kExits);
  const MailItem& shown = outlook.inspectors[0];
  EXPECT_EQ(shown.entryId, "00AB");
  EXPECT_EQ(shown.subject, "Lunch = at noon");
  EXPECT_EQ(shown.folder, "Inbox");
  EXPECT_TRUE(shown.saved);
  EXPECT_EQ(shown.creationTime.day, 12);
  EXPECT_EQ(shown.creationTime.minute, 30);
  EXPECT_EQ(shown.faults.at("CurrentItem").kind, FaultKind::kFails);
  EXPECT_EQ(outlook.storedItems[0].folder, "Deleted Items");
  EXPECT_EQ(outlook.storedItems[0].creationTime.second, 58);
}

TEST(FakeOfficeScenario, DocumentsAreRegisteredUnlessRotOrRegisterIsOff) {
  const struct {
    const char* text;
    bool registers, documentsInTable;
  } cases[] = {{"[Excel]\nworkbook a", true, true},
               {"[Excel]\nrot OFF\nworkbook a", true, false},
               {"[Excel]\nrot off\nrot on\nworkbook a", true, true},
               {"[Word]\nrot off", true, true},
               {"[Excel]\nregister off\nworkbook a", false, false},
               {"[Excel]\nregister Off\nrot on\nworkbook a", false, false},
               {"[Excel]\nregister off\nregister on\nworkbook a", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ParseResult result = ParseScenario(c.text, "Excel");
    ASSERT_TRUE(result.application) << result.error;
    EXPECT_EQ(result.application->registers, c.registers);
    EXPECT_EQ(result.application->DocumentsInTable(), c.documentsInTable);
  }
}

TEST(FakeOfficeScenario, AnApplicationTurnsCallsAwayFromTheKthCallOn) {
  const struct {
    const char* text;
    int busy;
    FaultKind kind;
    int fromCall;
  } cases[] = {{"[Excel]\nbusy 3", 3, FaultKind::kNone, 0},
               {"[Excel]\nbusy from 4", 0, FaultKind::kBusy, 4},
               {"[Excel]\nBusy Always", 0, FaultKind::kBusy, 1},
               {"[Excel]\nrejected from 2", 0, FaultKind::kRejected, 2},
               {"[Excel]\nrejected always", 0, FaultKind::kRejected, 1},
               {"[Excel]\nIGNORED FROM 7", 0, FaultKind::kIgnored, 7},
               {"[Excel]\nbusy 2\nignored from 5", 2, FaultKind::kIgnored, 5},
               {"[Excel]\nrejected from 2\nbusy from 9", 0, FaultKind::kBusy, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ParseResult result = ParseScenario(c.text, "Excel");
    ASSERT_TRUE(result.application) << result.error;
    EXPECT_EQ(result.application->busy, c.busy);
    EXPECT_EQ(result.application->turnedAway.kind, c.kind);
    EXPECT_EQ(result.application->turnedAway.fromCall, c.fromCall);
  }
}

TEST(FakeOfficeScenario, ReadsAnotherProgramsDocumentsAndName) {
  const struct {
    const char* text;
    const char* title;
  } cases[] = {
      {"[Other]\ndocument C:\\Viewer\\Report.xlsx\n  Visible = false\n  Saved fails\n", "Contoso Excel Viewer"},
      {"[other]\nName = Fabrikam Sheets\nWorkbooks busy 1\ndocument C:\\Viewer\\Report.xlsx\n  Visible = false\n"
       "  Saved fails\n",
       "Fabrikam Sheets"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ParseResult result = ParseScenario(c.text, "OTHER");
    ASSERT_TRUE(result.application) << result.error;
    const Application& other = *result.application;
    EXPECT_EQ(other.name, "Other");
    EXPECT_EQ(other.title, c.title);
    ASSERT_EQ(other.documents.size(), 1u);
    EXPECT_EQ(other.documents[0].path, "C:\\Viewer");
    EXPECT_FALSE(other.documents[0].visible);
    EXPECT_EQ(other.documents[0].faults.at("Saved").kind, FaultKind::kFails);
  }
}

TEST(FakeOfficeScenario, AnAbsentSectionIsAnApplicationWithNothingOpen) {
  const ParseResult result = ParseScenario(kScenario, "Word");
  ASSERT_TRUE(result.application) << result.error;
  EXPECT_EQ(result.application->name, "Word");
  EXPECT_TRUE(result.application->documents.empty());
  EXPECT_FALSE(ParseScenario("", "Access").application);
}

TEST(FakeOfficeScenario, NamesTheLineOfEveryMistake) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"workbook a.xlsx", "line 1: expected a section"},
      {"[Excel]\nworkbook a.xlsx\n  Savd = true", "line 3: unknown value \"Savd\""},
      {"[Excel]\nworkbook a.xlsx\n  Saved = maybe", "line 3: Saved is true or false"},
      {"[Excel]\nworkbook", "line 2: workbook needs its FullName"},
      {"[Word]\nworkbook a.xlsx", "line 2: workbook does not belong in [Word]"},
      {"[Excel]\ninspector", "line 2: inspector belongs in [Outlook]"},
      {"[Excel]\nbusy 0", "line 2: busy needs a positive number"},
      {"[Excel]\nworkbook a\n Name busy x", "line 3: busy needs a positive number"},
      {"[Excel]\nworkbook a\n Name breaks", "line 3: after Name comes"},
      {"[Excel]\nworkbook a\n Subject fails", "line 3: \"Subject\" is no member that can fail here"},
      {"[Outlook]\nitem\n CurrentItem fails", "line 3: \"CurrentItem\" is no member"},
      {"[Outlook]\nitem\n CreationTime = 12/05/2026", "line 3: CreationTime reads like"},
      {"[Outlook]\nitem\n CreationTime = 2026-13-01 10:00", "line 3: CreationTime reads like"},
      {"[Excel]\n[Access]",
       "line 2: unknown application [Access]; use [Excel], [Word], [PowerPoint], [Outlook] or [Other]"},
      {"[Excel]\n[excel]", "line 2: section [Excel] appears twice"},
      {"[Excel]\nSaved = true", "line 2: a value line"},
      {"[Excel]\nrot maybe", "line 2: rot is on or off"},
      {"[Excel]\nworkbook a\nrot off", "line 3: rot belongs to the application"},
      {"[Outlook]\nrot off", "line 2: rot belongs in a section with documents: Outlook registers none"},
      {"[Excel]\nbusy from 0", "line 2: busy from needs a positive number"},
      {"[Excel]\nbusy from", "line 2: busy from needs a positive number"},
      {"[Excel]\nrejected 3", "line 2: rejected reads rejected from K"},
      {"[Excel]\nignored sometimes", "line 2: ignored reads ignored from K"},
      {"[Excel]\nworkbook a\nbusy from 2", "line 3: busy belongs to the application"},
      {"[Excel]\nworkbook a\n Name ignored-exception", "line 3: ignored-exception needs a positive number"},
      {"[Excel]\nworkbook a\n Name rejected 0", "line 3: rejected needs a positive number"},
      {"[Excel]\nregister maybe", "line 2: register is on or off"},
      {"[Excel]\nworkbook a\nregister off", "line 3: register belongs to the application"},
      {"[Excel]\nVisible = perhaps", "line 2: Visible is true or false"},
      {"[Outlook]\nVisible = false", "line 2: Outlook has no Visible"},
      {"[Outlook]\nVisible busy 1", "line 2: \"Visible\" is no member that can fail here"},
      {"[Excel]\nname = Mine", "line 2: an Office application's Name is its own"},
      {"[Other]\nname =", "line 2: name needs a text"},
      {"[Other]\nVisible = false", "line 2: Other has no Visible"},
      {"[Other]\nworkbook a.xlsx", "line 2: workbook does not belong in [Other]"},
      {"[Other]\nGetNamespace fails", "line 2: \"GetNamespace\" is no member that can fail here"},
      {"[Other]\ninspector", "line 2: inspector belongs in [Outlook]"},
      {"[Excel]\npresentation a.pptx", "line 2: presentation does not belong in [Excel]"},
      {"[PowerPoint]\nworkbook a.xlsx", "line 2: workbook does not belong in [PowerPoint]"},
      {"[PowerPoint]\npresentation a\n Visible = false", "line 3: unknown value \"Visible\" (FullName, Path, Name, Saved, Windows)"},
      {"[PowerPoint]\npresentation a\n Visible fails", "line 3: \"Visible\" is no member that can fail here"},
      {"[PowerPoint]\npresentation a\n Windows = none", "line 3: Windows is a count from 0 to 9"},
      {"[PowerPoint]\npresentation a\n Windows = 10", "line 3: Windows is a count from 0 to 9"},
      {"[Excel]\nworkbook a\n Windows = 0", "line 3: unknown value \"Windows\" (FullName, Path, Name, Saved, Visible)"},
      {"[PowerPoint]\nWorkbooks fails", "line 2: \"Workbooks\" is no member that can fail here"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ParseResult result = ParseScenario(c.text, "Excel");
    EXPECT_FALSE(result.application);
    EXPECT_EQ(result.error.rfind(c.error, 0), 0u) << result.error;
  }
}

TEST(FakeOfficeCallCounts, ReportReadsBackAsCounted) {
  CallCounts counts;
  counts.CountName("Workbook", "Saved");
  counts.CountInvoke("Workbook", "Saved");
  counts.CountInvoke("Workbook", "Saved");
  counts.CountInvoke("Enum", "Next");
  counts.CountRejected();
  const CallCountReport report = ParseCallCounts(counts.Format());
  EXPECT_EQ(report.members, (CallCountMap{{"Workbook.Saved", {1, 2}}, {"Enum.Next", {0, 1}}}));
  EXPECT_EQ(report.rejected, 1);
  counts.Reset();
  EXPECT_TRUE(ParseCallCounts(counts.Format()).members.empty());
}

}  // namespace
}  // namespace fake_office
