#include "doclog/log_encoding.h"

#include <gtest/gtest.h>

#include "testing/fakes.h"

namespace valmora {
namespace {

using testing::FakeLocale;

TEST(LogEncoding, AnsiWhenItFitsUtf8WithBomOtherwise) {
  const FakeLocale locale;
  EXPECT_EQ(EncodeLogLines({L"a", L"caf\u00e9"}, locale), "a\r\ncaf\xe9\r\n");
  const std::string utf8 = EncodeLogLines({L"a", L"\u65e5\u672c.docx"}, locale);
  EXPECT_EQ(utf8, "\xEF\xBB\xBF" "a\r\n\xE6\x97\xA5\xE6\x9C\xAC.docx\r\n");
  EXPECT_EQ(DecodeLogLines(utf8, locale), (std::vector<std::wstring>{L"a", L"\u65e5\u672c.docx"}));
  EXPECT_EQ(DecodeLogLines("caf\xe9\r\n", locale), std::vector<std::wstring>{L"caf\u00e9"});
}

// Notepad's "UTF-16" and "UTF-16 BE": read by their BOM, not as one garbled
// ANSI line that every scan would carry as a hand-added file.
TEST(LogEncoding, Utf16WithItsByteOrderMarkIsReadInEitherOrder) {
  const FakeLocale locale;
  auto le = [](const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text) bytes += static_cast<char>(u & 0xFF), bytes += static_cast<char>(u >> 8);
    return bytes;
  };
  auto be = [](const std::u16string& text) {
    std::string bytes = "\xFE\xFF";
    for (char16_t u : text) bytes += static_cast<char>(u >> 8), bytes += static_cast<char>(u & 0xFF);
    return bytes;
  };
  const std::u16string text = u"12/5/2026 14:07\r\nC:\\caf\u00e9\\\U0001F4C4.xlsx\r\nC:\\notes.txt\r\n";
  const std::vector<std::wstring> lines{L"12/5/2026 14:07", L"C:\\caf\u00e9\\\U0001F4C4.xlsx", L"C:\\notes.txt"};
  EXPECT_EQ(DetectLogEncoding(le(text)), LogEncoding::Utf16Le);
  EXPECT_EQ(DetectLogEncoding(be(text)), LogEncoding::Utf16Be);
  EXPECT_EQ(DecodeLogLines(le(text), locale), lines);
  EXPECT_EQ(DecodeLogLines(be(text), locale), lines);
  EXPECT_EQ(DecodeLogLines(le(u"a\xD800" u"b") + "x", locale), std::vector<std::wstring>{L"a\uFFFDb"})
      << "a lone surrogate is replaced, an odd last byte dropped";
}

// Editors save UTF-8 without a BOM; an ANSI accented letter on its own is
// never valid UTF-8, so validity tells the two apart.
TEST(LogEncoding, ValidUtf8WithNonAsciiBytesIsUtf8EverythingElseAnsi) {
  const FakeLocale locale;
  struct Case {
    std::string bytes;
    std::wstring line;
  };
  const Case cases[] = {
      {"C:\\Daten\\\xC3\x9C" "bersicht.xlsx\r\n", L"C:\\Daten\\\u00DCbersicht.xlsx"},
      {"C:\\\xE6\x97\xA5\\\xF0\x9F\x93\x84.doc", L"C:\\\u65e5\\\U0001F4C4.doc"},
      {"C:\\caf\xE9.txt", L"C:\\caf\u00e9.txt"},                  // ANSI
      {"C:\\plain.txt", L"C:\\plain.txt"},                        // ASCII reads the same either way
      {"\xC3\x9C and \xE9", L"\u00C3\u009C and \u00E9"},          // one stray byte makes it all ANSI
      {"C:\\\xC3", L"C:\\\u00C3"},                                // sequence cut short at the end
      {"C:\\\xC0\xAF", L"C:\\\u00C0\u00AF"},                      // overlong "/"
      {"C:\\\xED\xA0\x80", L"C:\\\u00ED\u00A0\u0080"},            // encoded surrogate
      {"C:\\\xF4\x90\x80\x80", L"C:\\\u00F4\u0090\u0080\u0080"},  // past U+10FFFF
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeLogLines(c.bytes, locale), std::vector<std::wstring>{c.line}) << c.bytes;
  }
}

TEST(LogEncoding, AnsiBytesThatWouldReadAsUtf8AreWrittenWithABom) {
  const FakeLocale locale;
  const std::vector<std::wstring> lines{L"C:\\\u00C3\u00A9.txt"};  // Latin-1 bytes C3 A9 spell UTF-8 "é"
  const std::string bytes = EncodeLogLines(lines, locale);
  EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
  EXPECT_EQ(DecodeLogLines(bytes, locale), lines);
}

TEST(LogEncoding, SplitsLinesAtCrLfOnly) {
  const FakeLocale locale;
  struct Case {
    std::string bytes;
    std::vector<std::wstring> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {L"a"}},
      {"a\r\n", {L"a"}},
      {"a\r\n\r\n", {L"a", L""}},
      {"a\r\nb", {L"a", L"b"}},
      {"a\nb\r\n", {L"a\nb"}},
      {"\xEF\xBB\xBF", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeLogLines(c.bytes, locale), c.lines) << c.bytes;
}

}  // namespace
}  // namespace valmora
