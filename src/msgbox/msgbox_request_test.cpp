#include "msgbox/msgbox_request.h"

#include <gtest/gtest.h>

namespace valmora {
namespace {

TEST(MsgBoxRequest, PacksTypeCountdownAndText) {
  struct Case {
    const wchar_t* type;
    int countDown;
    const wchar_t* packed;
  };
  const Case cases[] = {
      {L"5", 10, L"5  10T"},    {L"4", 5, L"4   5T"},     {L"2", 0, L"2   0T"},
      {L"3", 9999, L"39999T"},  {L"3", 10000, L"39999T"}, {L"3", -1, L"3   0T"},
      {L"345", 1, L"3   1T"},   {L"", 1, L"    1T"},
  };
  for (const Case& c : cases) EXPECT_EQ(PackMsgBoxRequest(c.type, c.countDown, L"T"), c.packed) << c.packed;
}

TEST(MsgBoxRequest, ParsesWhatWasPackedAndToleratesOddFields) {
  struct Case {
    const wchar_t* request;
    int type, countDown;
    const wchar_t* text;
  };
  const Case cases[] = {
      {L"5  10Hello", 5, 10, L"Hello"}, {L"x   5Hello", 0, 5, L"Hello"}, {L"4 abcHello", 4, 0, L"Hello"},
      {L"4  -3", 4, -3, L""},     {L"4", 4, 0, L""},               {L"", 0, 0, L""},
      {L"2 12xT", 2, 12, L"T"},
  };
  for (const Case& c : cases) {
    const MsgBoxRequestParts parts = ParseMsgBoxRequest(c.request);
    EXPECT_EQ(parts.type, c.type) << c.request;
    EXPECT_EQ(parts.countDown, c.countDown) << c.request;
    EXPECT_EQ(parts.text, c.text) << c.request;
  }
}

TEST(MsgBoxRequest, CutsOnlyATailThatHoldsAnAt) {
  struct Case {
    const wchar_t* text;
    const wchar_t* shown;
  };
  const Case cases[] = {
      {L"Done@", L"Done"},
      {L"Total 5@@", L"Total 5"},
      {L"Files 12 3", L"Files 12 3"},
      {L"a@b", L"a@b"},
      {L"@@@", L"@@@"},
      {L"", L""},
      {L"Saved.@\r\n12 @ 3", L"Saved."},
      {L"x 1@2\n", L"x 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(RemoveTrailingTail(c.text), c.shown) << c.text;
}

TEST(MsgBoxRequest, CountsLinesAt77CharactersAndAtEveryBreak) {
  ASSERT_EQ(CharsPerLine(6135), 77);
  EXPECT_EQ(CharsPerLine(6120), 76);  // 76.5: half to even
  EXPECT_EQ(CharsPerLine(6200), 78);  // 77.5: half to even

  struct Case {
    std::wstring text;
    const wchar_t* display;  // nullptr: same as text
    int lines;
  };
  const Case cases[] = {
      {std::wstring(77, L'x'), nullptr, 1},
      {std::wstring(78, L'x'), nullptr, 2},
      {std::wstring(155, L'x'), nullptr, 3},
      {L"one@two", L"one\r\ntwo", 2},
      {L"C:\\a@b\\file.xls", L"C:\\a\r\nb\\file.xls", 2},
      {L"a\r\nb\r\nc", L"a\r\nb\r\nc", 3},
      {L"a\nb", L"a\r\nb", 2},
      {L"a\rb", L"a\r\nb", 2},
      {L"\n", L"\r\n", 2},
      {L"", L"", 1},
  };
  for (const Case& c : cases) {
    const DisplayText display = MakeDisplayText(c.text, 77);
    EXPECT_EQ(display.text, c.display ? std::wstring(c.display) : c.text) << c.text;
    EXPECT_EQ(display.lineCount, c.lines) << c.text;
  }
}

}  // namespace
}  // namespace valmora
