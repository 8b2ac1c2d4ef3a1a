#include "library/text.h"

#include <gtest/gtest.h>

namespace valmora {
namespace {

TEST(GetFileExt, FollowsThePathRules) {
  struct Case {
    const wchar_t* path;
    bool forwardSlash;
    const wchar_t* ext;
  };
  const Case cases[] = {
      {L"C:\\Data\\Report.DOCX", false, L"DOCX"},
      {L"C:\\Data\\archive.tar.gz", false, L"gz"},
      {L"C:\\Data\\.profile", false, L"profile"},
      {L"C:\\Data\\name.", false, L""},
      {L"C:\\Data.old\\readme", false, L""},
      {L"C:\\Data\\", false, L""},
      {L"C:", false, L""},
      {L"report.doc", false, L"doc"},
      {L"\\\\server\\share", false, L""},
      {L"\\\\server\\share\\", false, L""},
      {L"\\\\server\\share\\book.xls", false, L"xls"},
      {L"  \"C:\\My Files\\a.doc\"  ", false, L"doc"},
      {L"\" C:\\x.doc \"", false, L"doc"},
      {L"", false, L""},
      {L"   ", false, L""},
      {L"C:/Data/Files/a.pdf", true, L"pdf"},
      {L"C:/Data/Files/a.pdf", false, L"pdf"},
      {L"C:/Data.old/readme", false, L"old/readme"},
      {L"C:/Data.old/readme", true, L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetFileExt(c.path, c.forwardSlash), c.ext) << c.path;
  }
}

TEST(CountOccurrences, CountsOverlapsAndIgnoresCaseWhenAsked) {
  struct Case {
    const wchar_t* text;
    const wchar_t* find;
    Compare compare;
    std::int64_t count;
  };
  const Case cases[] = {
      {L"aaaa", L"aa", Compare::Binary, 3},
      {L"none NONE None", L"none", Compare::Text, 3},
      {L"none NONE None", L"none", Compare::Binary, 1},
      {L"abc", L"", Compare::Binary, 3},
      {L"", L"", Compare::Binary, 0},
      {L"", L"x", Compare::Binary, 0},
      {L"Excel: none\r\nWord: 2\r\nOutlook: none", L"none", Compare::Text, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountOccurrences(c.text, c.find, c.compare), c.count) << c.text << " / " << c.find;
  }
}

TEST(CountOccurrences, CountsPastSixteenBits) {
  EXPECT_EQ(CountOccurrences(std::wstring(40000, L'x'), L"x", Compare::Binary), 40000);
}

TEST(StripQuotes, RemovesOnePairAfterTrimming) {
  struct Case {
    const wchar_t* text;
    const wchar_t* result;
  };
  const Case cases[] = {
      {L"  \"a b\"  ", L"a b"},      {L"\"\"", L""},           {L"\"", L"\""},
      {L"\"abc", L"\"abc"},          {L"abc\"", L"abc\""},     {L"\"\"x\"\"", L"\"x\""},
      {L"\" inner \"", L" inner "},  {L"  plain ", L"plain"},  {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(StripQuotes(c.text), c.result) << c.text;
}

TEST(TrimNull, CutsAtTheFirstNul) {
  EXPECT_EQ(TrimNull(std::wstring(L"ab\0cd", 5)), L"ab");
  EXPECT_EQ(TrimNull(std::wstring(L"\0cd", 3)), L"");
  EXPECT_EQ(TrimNull(L"abc"), L"abc");
}

}  // namespace
}  // namespace valmora
