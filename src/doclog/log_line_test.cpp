#include "doclog/log_line.h"

#include <gtest/gtest.h>

#include "testing/fakes.h"

namespace valmora {
namespace {

using testing::FakeLocale;

TEST(ClassifyLogLine, FirstMatchingRuleWins) {
  const FakeLocale locale;
  struct Case {
    const wchar_t* line;
    LineKind kind;
  };
  const Case cases[] = {
      {L"05/12/2026 14:07", LineKind::DateLine},
      {L"5/12/26", LineKind::DateLine},  // a hand-added text that parses as a date is a date line
      {L"Outlook:00000000ABCDEF'05/12/26 Lunch", LineKind::OutlookEntry},
      {L"OUTLOOK:00AB", LineKind::OutlookEntry},
      {L"outlook:x.xlsx", LineKind::OutlookEntry},  // the prefix decides before the extension
      {L"Outlook 00AB", LineKind::OtherEntry},
      {L"C:\\Data\\Report.DOCX", LineKind::WordEntry},
      {L"C:\\Data\\old.dot", LineKind::WordEntry},
      {L"C:\\Data\\x.doc", LineKind::WordEntry},
      {L"C:\\Data\\book.xls", LineKind::ExcelEntry},
      {L"C:\\Data\\b.XLSB", LineKind::ExcelEntry},
      {L"C:\\Data\\notes.txt", LineKind::OtherEntry},
      {L"C:\\Data\\folder", LineKind::OtherEntry},
      {L"C:\\Data.xls\\folder", LineKind::OtherEntry},
      {L"", LineKind::BlankLine},
      {L"    ", LineKind::BlankLine},
      {L"\t", LineKind::OtherEntry},  // trimming removes blanks only
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyLogLine(c.line, locale), c.kind) << c.line;
  }
}

TEST(FormatDateLine, ShortDateThenTwentyFourHourTime) {
  const FakeLocale locale;
  EXPECT_EQ(FormatDateLine({2026, 12, 5, 14, 7, 59}, locale), L"05/12/2026 14:07");
  EXPECT_EQ(FormatDateLine({2026, 1, 31, 0, 0, 0}, locale), L"31/01/2026 00:00");
  EXPECT_EQ(ClassifyLogLine(FormatDateLine({2026, 1, 31, 9, 5, 0}, locale), locale), LineKind::DateLine);
}

}  // namespace
}  // namespace valmora
