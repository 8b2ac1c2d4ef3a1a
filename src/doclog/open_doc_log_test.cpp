#include "doclog/open_doc_log.h"

#include <gtest/gtest.h>

#include "testing/fakes.h"

namespace valmora {
namespace {

using testing::FakeFileSystem;
using testing::FakeLocale;

constexpr wchar_t kLog[] = L"C:\\V\\Valmora.txt";

class OpenDocLogTest : public ::testing::Test {
 protected:
  FakeLocale locale;
  FakeFileSystem fs;
  OpenDocLog log{kLog, fs, locale};

  std::string& Bytes() { return fs.files[kLog]; }
};

TEST_F(OpenDocLogTest, OverwriteWritesDateLineThenEntries) {
  EntryList entries;
  entries.Add(L"C:\\a.xlsx");
  entries.Add(L"C:\\b.docx");
  ASSERT_TRUE(log.Overwrite(L"05/12/2026 14:07", entries));
  EXPECT_EQ(Bytes(), "05/12/2026 14:07\r\nC:\\a.xlsx\r\nC:\\b.docx\r\n");
}

TEST_F(OpenDocLogTest, AFailedWriteLeavesTheOldLog) {
  Bytes() = "old\r\n";
  fs.failWrites = true;
  EXPECT_FALSE(log.Overwrite(L"05/12/2026 14:07", EntryList{}));
  EXPECT_FALSE(log.AppendLine(L"x"));
  EXPECT_EQ(Bytes(), "old\r\n");
}

TEST_F(OpenDocLogTest, EntryListKeepsTheFirstHundred) {
  EntryList entries;
  for (int i = 0; i < 150; ++i) entries.Add(L"e" + std::to_wstring(i));
  EXPECT_EQ(entries.Count(), 100u);
  EXPECT_EQ(entries.Entries().back(), L"e99");
}

TEST_F(OpenDocLogTest, MergePutsCurrentFirstThenUnseenOldLinesOnce) {
  Bytes() = "01/12/2026 09:00\r\nC:\\a.xlsx\r\nC:\\notes.txt\r\nC:\\notes.txt\r\n\r\nC:\\closed.docx\r\n\r\n";
  EntryList entries;
  entries.Add(L"C:\\new.docx");
  entries.Add(L"C:\\a.xlsx");
  ASSERT_TRUE(log.MergeRewrite(entries));
  EXPECT_EQ(Bytes(),
            "C:\\new.docx\r\nC:\\a.xlsx\r\n01/12/2026 09:00\r\nC:\\notes.txt\r\n\r\nC:\\closed.docx\r\n");
}

// The limit holds the Office entries; hand-added files are kept outside it,
// as every overwrite keeps them, so no session end drops one.
TEST_F(OpenDocLogTest, MergeKeepsEveryHandAddedLineAndOfficeLinesUpToTheLimit) {
  struct Case {
    int now, oldWorkbooks, handAdded;
    std::size_t oldWorkbooksKept;
  };
  const Case cases[] = {{90, 15, 20, 9}, {80, 40, 0, 19}, {100, 5, 3, 0}, {10, 5, 150, 5}};
  for (const Case& c : cases) {
    std::string old = "01/12/2026 09:00\r\n";
    for (int i = 0; i < c.oldWorkbooks; ++i) old += "C:\\old" + std::to_string(i) + ".xlsx\r\n";
    for (int i = 0; i < c.handAdded; ++i) old += "C:\\notes" + std::to_string(i) + ".txt\r\n";
    Bytes() = old;
    EntryList entries;
    for (int i = 0; i < c.now; ++i) entries.Add(L"C:\\now" + std::to_wstring(i) + L".xlsx");
    ASSERT_TRUE(log.MergeRewrite(entries));

    const auto lines = *log.ReadLines();
    const std::size_t dateLine = c.now < 100 ? 1 : 0;
    ASSERT_EQ(lines.size(), c.now + dateLine + c.oldWorkbooksKept + c.handAdded) << c.now << " " << c.handAdded;
    EXPECT_EQ(lines[c.now - 1], L"C:\\now" + std::to_wstring(c.now - 1) + L".xlsx");
    if (c.handAdded) {
      EXPECT_EQ(lines.back(), L"C:\\notes" + std::to_wstring(c.handAdded - 1) + L".txt");
    }
  }
}

TEST_F(OpenDocLogTest, MergeWithoutPreviousLogWritesCurrentEntriesOnly) {
  EntryList entries;
  entries.Add(L"C:\\a.xlsx");
  ASSERT_TRUE(log.MergeRewrite(entries));
  EXPECT_EQ(Bytes(), "C:\\a.xlsx\r\n");
}

TEST_F(OpenDocLogTest, AppendOutsideTheCodePageRewritesAsUtf8) {
  Bytes() = "caf\xe9.txt\r\n";
  ASSERT_TRUE(log.AppendLine(L"C:\\\u65e5.txt"));
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF" "caf\xC3\xA9.txt\r\nC:\\\xE6\x97\xA5.txt\r\n");
  ASSERT_TRUE(log.AppendLine(L"plain"));
  EXPECT_EQ(*log.ReadLines(), (std::vector<std::wstring>{L"caf\u00e9.txt", L"C:\\\u65e5.txt", L"plain"}));
}

// A log saved by an editor as UTF-8 without a BOM stays that way: appends
// add UTF-8 bytes, and nothing read from it is garbled on the way back.
TEST_F(OpenDocLogTest, BomlessUtf8LogKeepsItsTextThroughAppendAndMerge) {
  const std::string utf8Log = "C:\\Daten\\\xC3\x9C" "bersicht.xlsx\r\n";
  Bytes() = utf8Log;
  ASSERT_TRUE(log.AppendLine(L"C:\\caf\u00e9.txt"));
  EXPECT_EQ(Bytes(), utf8Log + "C:\\caf\xC3\xA9.txt\r\n");
  ASSERT_TRUE(log.AppendLine(L"C:\\\u65e5.txt"));
  EXPECT_EQ(Bytes(), utf8Log + "C:\\caf\xC3\xA9.txt\r\nC:\\\xE6\x97\xA5.txt\r\n");

  Bytes() = utf8Log;
  EntryList entries;
  entries.Add(L"C:\\now.docx");
  ASSERT_TRUE(log.MergeRewrite(entries));
  EXPECT_EQ(*log.ReadLines(), (std::vector<std::wstring>{L"C:\\now.docx", L"C:\\Daten\\\u00DCbersicht.xlsx"}));
}

TEST_F(OpenDocLogTest, AnAppendToAUtf16LogRewritesItInTheProgramsOwnEncoding) {
  Bytes() = std::string("\xFF\xFE" "a\0.\0t\0x\0t\0\r\0\n\0", 16);
  ASSERT_TRUE(log.AppendLine(L"C:\\b.txt"));
  EXPECT_EQ(Bytes(), "a.txt\r\nC:\\b.txt\r\n");
}

TEST_F(OpenDocLogTest, AnAnsiAppendThatWouldReadAsUtf8RewritesTheLogWithABom) {
  Bytes() = "C:\\a.txt\r\n";
  ASSERT_TRUE(log.AppendLine(L"C:\\\u00C3\u00A9.txt"));  // Latin-1 bytes C3 A9 spell UTF-8 "é"
  EXPECT_TRUE(Bytes().starts_with("\xEF\xBB\xBF"));
  EXPECT_EQ(*log.ReadLines(), (std::vector<std::wstring>{L"C:\\a.txt", L"C:\\\u00C3\u00A9.txt"}));
}

// A hand edit often leaves the last line without CR LF; an append must not
// glue its line onto it.
TEST_F(OpenDocLogTest, AppendsEndAnOpenLastLineFirst) {
  struct Case {
    std::string old;
    std::string result;
  };
  const Case cases[] = {
      {"C:\\a.txt", "C:\\a.txt\r\nC:\\b.txt\r\n"},
      {"C:\\a.txt\r\n", "C:\\a.txt\r\nC:\\b.txt\r\n"},
      {"C:\\a.txt\r", "C:\\a.txt\r\nC:\\b.txt\r\n"},
      {"", "C:\\b.txt\r\n"},  // a new log
      {"\xEF\xBB\xBF", "\xEF\xBB\xBF" "C:\\b.txt\r\n"},
      {"\xEF\xBB\xBF" "C:\\\xC3\xA4.txt", "\xEF\xBB\xBF" "C:\\\xC3\xA4.txt\r\nC:\\b.txt\r\n"},
      {"C:\\\xC3\xA4.txt", "C:\\\xC3\xA4.txt\r\nC:\\b.txt\r\n"},
  };
  for (const Case& c : cases) {
    Bytes() = c.old;
    ASSERT_TRUE(log.AppendLine(L"C:\\b.txt")) << c.old;
    EXPECT_EQ(Bytes(), c.result) << c.old;
  }
  // The rewrite as UTF-8 ends the old last line too.
  Bytes() = "caf\xe9";
  ASSERT_TRUE(log.AppendLine(L"C:\\\u65e5.txt"));
  EXPECT_EQ(*log.ReadLines(), (std::vector<std::wstring>{L"caf\u00e9", L"C:\\\u65e5.txt"}));
}

TEST_F(OpenDocLogTest, AnUnreadableLogIsNotReplacedByAnAppend) {
  Bytes() = "keep\r\n";
  fs.failReads = true;
  EXPECT_FALSE(log.AppendLine(L"x"));
  fs.failReads = false;
  EXPECT_EQ(Bytes(), "keep\r\n");
}

TEST_F(OpenDocLogTest, MissingLogReadsAsNothing) {
  EXPECT_FALSE(log.Exists());
  EXPECT_FALSE(log.ReadLines().has_value());
}

}  // namespace
}  // namespace valmora
