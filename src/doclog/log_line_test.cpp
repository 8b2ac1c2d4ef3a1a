#include "doclog/log_line.h"

#include <gtest/gtest.h>

#include <cwchar>

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
      {L"PowerPoint:C:\\Decks\\Q4.pptx", LineKind::PowerPointEntry},
      {L"powerpoint:https://corvellan.example/Plan.docx", LineKind::PowerPointEntry},  // the prefix decides
      {L"C:\\Decks\\Q4.pptx", LineKind::OtherEntry},  // added by hand: stays the user's file
      {L"PowerPoint C:\\Decks\\Q4.pptx", LineKind::OtherEntry},
      {L"Excel:C:\\Data\\prices.csv", LineKind::ExcelEntry},  // a scan wrote it: not hand-added
      {L"EXCEL:\\\\srv\\x.txt", LineKind::ExcelEntry},
      {L"Word:C:\\Data\\notes.txt", LineKind::WordEntry},
      {L"word:https://corvellan.example/a.xlsx", LineKind::WordEntry},  // the prefix decides
      {L"Excel C:\\Data\\prices.csv", LineKind::OtherEntry},
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

// A short-date format written as the user set it, and a parser that takes
// none of it, as some custom formats and locales make the system's.
class RefusingLocale : public FakeLocale {
 public:
  explicit RefusingLocale(std::wstring format) : format_(std::move(format)) {}
  std::wstring FormatShortDate(const LocalTime& t) const override {
    static const wchar_t* months[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                      L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    std::wstring out;
    for (std::size_t i = 0; i < format_.size();) {
      auto take = [&](const wchar_t* token) {
        if (format_.compare(i, std::wcslen(token), token) != 0) return false;
        i += std::wcslen(token);
        return true;
      };
      wchar_t two[8];
      if (take(L"yyyy")) {
        out += std::to_wstring(t.year);
      } else if (take(L"MMM")) {
        out += months[t.month - 1];
      } else if (take(L"MM")) {
        std::swprintf(two, 8, L"%02d", t.month), out += two;
      } else if (take(L"M")) {
        out += std::to_wstring(t.month);
      } else if (take(L"dd")) {
        std::swprintf(two, 8, L"%02d", t.day), out += two;
      } else if (take(L"d")) {
        out += std::to_wstring(t.day);
      } else {
        out += format_[i++];
      }
    }
    return out;
  }
  bool IsDate(const std::wstring&) const override { return false; }

 private:
  std::wstring format_;
};

// Refused by the parser, the program's own date line would be taken for a
// hand-added file, carried by every scan, one more line per tick.
TEST(ClassifyLogLine, TheProgramsOwnDateLineIsADateLineWhateverTheParserSays) {
  for (const wchar_t* format : {L"dd.MM.yyyy", L"yyyy-MM-dd", L"yyyy\u5e74M\u6708d\u65e5", L"d MMM yyyy", L"M/d/yyyy"}) {
    const RefusingLocale locale(format);
    for (const LocalTime& t : {LocalTime{2026, 12, 5, 14, 7, 0}, LocalTime{2027, 1, 31, 0, 0, 0},
                               LocalTime{2030, 10, 10, 23, 59, 0}}) {
      const std::wstring line = FormatDateLine(t, locale);
      EXPECT_EQ(ClassifyLogLine(line, locale), LineKind::DateLine) << line;
    }
    for (const wchar_t* entry : {L"C:\\Data\\notes.txt", L"C:\\2026\\12 05", L"\\\\server\\share\\x.pdf"}) {
      EXPECT_EQ(ClassifyLogLine(entry, locale), LineKind::OtherEntry) << entry << " with " << format;
    }
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
