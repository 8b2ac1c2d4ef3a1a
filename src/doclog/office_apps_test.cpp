#include "doclog/office_apps.h"

#include <gtest/gtest.h>

#include "testing/fakes.h"

namespace valmora {
namespace {

// Which worker may bind a document of the Running Object Table: decided from
// its name, so that no worker calls into a program that is not its own.
TEST(MayOwn, TheNameAloneSaysWhoseADocumentMayBe) {
  const struct {
    const wchar_t* name;
    bool excel, word, powerPoint;
  } cases[] = {
      {L"C:\\Data\\Budget.xlsx", true, false, false},
      {L"C:\\Data\\old.XLS", true, false, false},
      {L"C:\\Data\\prices.csv", true, false, false},
      {L"C:\\Data\\Report.docx", false, true, false},
      {L"C:\\Data\\letter.rtf", false, true, false},
      {L"C:\\Talks\\Q4.pptx", false, false, true},
      {L"C:\\Talks\\brand.potx", false, false, true},
      {L"C:\\Data\\notes.txt", true, true, false},
      {L"https://corvellan.example/sites/team/Plan.docx", false, true, false},
      {L"https://corvellan.example/sites/team/Book", true, true, true},  // the dot of the host is no extension
      {L"Book1", true, true, true},                                      // never saved: anyone's
      {L"C:\\Data.xlsx\\drawing.vsdx", false, false, false},
      {L"C:\\Tools\\viewer.pdf", false, true, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MayOwn(OfficeApp::Excel, c.name), c.excel) << c.name;
    EXPECT_EQ(MayOwn(OfficeApp::Word, c.name), c.word) << c.name;
    EXPECT_EQ(MayOwn(OfficeApp::PowerPoint, c.name), c.powerPoint) << c.name;
    EXPECT_FALSE(MayOwn(OfficeApp::Outlook, c.name)) << c.name;
  }
}

// A scanned line classifies as its application's whatever its extension,
// and reads back as the file it names.
TEST(ScannedLine, CarriesThePrefixOnlyWhereTheExtensionDoesNotSayWhose) {
  const testing::FakeLocale locale;
  const struct {
    OfficeApp app;
    const wchar_t* fullName;
    const wchar_t* line;
  } cases[] = {
      {OfficeApp::Excel, L"C:\\D\\a.xlsx", L"C:\\D\\a.xlsx"},
      {OfficeApp::Excel, L"C:\\D\\a.csv", L"Excel:C:\\D\\a.csv"},
      {OfficeApp::Excel, L"C:\\D\\a.docx", L"Excel:C:\\D\\a.docx"},
      {OfficeApp::Word, L"C:\\D\\a.docx", L"C:\\D\\a.docx"},
      {OfficeApp::Word, L"C:\\D\\page.htm", L"Word:C:\\D\\page.htm"},
      {OfficeApp::Word, L"https://corvellan.example/x/Plan.docx", L"https://corvellan.example/x/Plan.docx"},
      {OfficeApp::PowerPoint, L"C:\\D\\q.pptx", L"PowerPoint:C:\\D\\q.pptx"},
  };
  for (const auto& c : cases) {
    const std::wstring line = ScannedLine(c.app, c.fullName, locale);
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(ClassifyLogLine(line, locale), Traits(c.app).kind) << line;
    EXPECT_EQ(EntryTarget(Traits(c.app), line), c.fullName);
  }
}

}  // namespace
}  // namespace valmora
