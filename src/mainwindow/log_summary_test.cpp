#include "mainwindow/log_summary.h"

#include <gtest/gtest.h>

#include "testing/fakes.h"

namespace valmora {
namespace {

using testing::FakeFileSystem;
using testing::FakeLocale;

TEST(GetLogSummary, CountsEachKindAndShowsTheLastDateLine) {
  struct Case {
    const char* log;
    const wchar_t* summary;
  };
  const Case cases[] = {
      {"05/12/2026 14:07\r\nC:\\a.xls\r\nC:\\b.xlsx\r\nOutlook:00AB'05/12/26 Hi\r\n",
       L"Open at last check:  05/12/2026 14:07\r\nExcel: 2\r\nWord: none\r\nPowerPoint: none\r\nOutlook: 1\r\n"
       L"Other: none"},
      {"05/12/2026 14:07\r\n",
       L"Open at last check:  05/12/2026 14:07\r\nExcel: none\r\nWord: none\r\nPowerPoint: none\r\n"
       L"Outlook: none\r\nOther: none"},
      {"C:\\Data\\Report.docx\r\nC:\\n.txt\r\n\r\n   \r\n",
       L"Open at last check:  \r\nExcel: none\r\nWord: 1\r\nPowerPoint: none\r\nOutlook: none\r\nOther: 1"},
      {"06/12/2026 10:00\r\nC:\\x.doc\r\n01/01/2020 08:00\r\n",
       L"Open at last check:  01/01/2020 08:00\r\nExcel: none\r\nWord: 1\r\nPowerPoint: none\r\n"
       L"Outlook: none\r\nOther: none"},
  };
  for (const Case& c : cases) {
    const FakeLocale locale;
    FakeFileSystem fs;
    fs.files[L"L"] = c.log;
    EXPECT_EQ(GetLogSummary(OpenDocLog(L"L", fs, locale)), c.summary) << c.log;
  }
}

TEST(GetLogSummary, MissingLogGivesEmptyText) {
  const FakeLocale locale;
  FakeFileSystem fs;
  EXPECT_EQ(GetLogSummary(OpenDocLog(L"L", fs, locale)), L"");
}

TEST(GetLogSummary, CountsPastSixteenBits) {
  const FakeLocale locale;
  FakeFileSystem fs;
  std::string log;
  for (int i = 0; i < 33000; ++i) log += "C:\\n.txt\r\n";
  fs.files[L"L"] = log;
  EXPECT_TRUE(GetLogSummary(OpenDocLog(L"L", fs, locale)).ends_with(L"Other: 33000"));
}

}  // namespace
}  // namespace valmora
