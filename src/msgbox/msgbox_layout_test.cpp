#include "msgbox/msgbox_layout.h"

#include <gtest/gtest.h>

namespace valmora {
namespace {

TEST(MsgBoxLayout, EveryTypeHasItsIconButtonsFocusAndPreset) {
  struct Case {
    int type;
    MsgBoxIcon icon;
    bool yesNo;
    MsgBoxButton focus;
    std::optional<bool> preset;
  };
  const Case cases[] = {
      {0, MsgBoxIcon::None, false, MsgBoxButton::Ok, std::nullopt},
      {1, MsgBoxIcon::Critical, false, MsgBoxButton::Ok, std::nullopt},
      {2, MsgBoxIcon::Exclamation, false, MsgBoxButton::Ok, std::nullopt},
      {3, MsgBoxIcon::Information, false, MsgBoxButton::Ok, std::nullopt},
      {4, MsgBoxIcon::Question, true, MsgBoxButton::Yes, true},
      {5, MsgBoxIcon::Question, true, MsgBoxButton::No, false},
      {6, MsgBoxIcon::None, true, MsgBoxButton::No, false},
      {9, MsgBoxIcon::None, true, MsgBoxButton::No, false},
  };
  for (const Case& c : cases) {
    const MsgBoxStyle style = StyleForType(c.type);
    EXPECT_EQ(style.icon, c.icon) << c.type;
    EXPECT_EQ(style.yesNo, c.yesNo) << c.type;
    EXPECT_EQ(style.focus, c.focus) << c.type;
    EXPECT_EQ(style.presetAnswer, c.preset) << c.type;
  }
}

TEST(MsgBoxLayout, GrowsOneLineHeightPerExtraLine) {
  const MsgBoxLayout one = LayOutMsgBox(L"3   0one line", 0);
  EXPECT_EQ(one.clientHeight, 1455);
  EXPECT_EQ(one.textHeight, 255);
  EXPECT_EQ(one.controlsShift, 0);

  const MsgBoxLayout two = LayOutMsgBox(L"3   0one@two", 0);
  EXPECT_EQ(two.clientHeight, 1455 + 255);
  EXPECT_EQ(two.textHeight, 510);
  EXPECT_EQ(two.controlsShift, 255);
  EXPECT_FALSE(two.textScrolls);

  const MsgBoxLayout tail = LayOutMsgBox(L"3   0ends with a break@", 0);
  EXPECT_EQ(tail.display.text, L"ends with a break");
  EXPECT_EQ(tail.clientHeight, 1455);
}

TEST(MsgBoxLayout, GrowsToTheLinesTheTextReallyTakesWhenMeasured) {
  EXPECT_EQ(LayOutMsgBox(L"3   0short", 0, 3).clientHeight, 1455 + 2 * 255);
  EXPECT_EQ(LayOutMsgBox(L"3   0a@b@c@d", 0, 2).clientHeight, 1455 + 3 * 255);  // the estimate is larger
  EXPECT_TRUE(LayOutMsgBox(L"3   0short", 2000, 40).textScrolls);
}

TEST(MsgBoxLayout, UserDataIsShownExactlyWhileTheProgramsOwnMarkersStillWork) {
  struct Case {
    std::wstring message;
    const wchar_t* shown;
    int lines;
  };
  const Case cases[] = {
      {L"File " + Verbatim(L"C:\\Plan@2026.xlsx") + L" not found", L"File C:\\Plan@2026.xlsx not found", 1},
      {L"New in Excel .\r\n\r\n" + Verbatim(L"Book@1") + L"\r\n", L"New in Excel .\r\n\r\nBook@1\r\n", 4},
      {L"Names:@" + Verbatim(L"a@b") + L"@", L"Names:\r\na@b", 2},
      {L"Outlook item " + Verbatim(L"12/05/26 Lunch @ 12") + L" not found",
       L"Outlook item 12/05/26 Lunch @ 12 not found", 1},
      {Verbatim(L"mail@2"), L"mail@2", 1},
  };
  for (const Case& c : cases) {
    const MsgBoxLayout layout = LayOutMsgBox(L"2   0" + c.message, 0);
    EXPECT_EQ(layout.display.text, c.shown) << c.shown;
    EXPECT_EQ(layout.display.lineCount, c.lines) << c.shown;
  }
}

TEST(MsgBoxLayout, NeverGrowsPastTheWorkAreaAndThenScrolls) {
  std::wstring text;
  for (int i = 0; i < 500; ++i) text += L"line@";
  const MsgBoxLayout layout = LayOutMsgBox(L"2   0" + text + L"last", 14400);  // 10 inches
  EXPECT_TRUE(layout.textScrolls);
  EXPECT_LE(layout.clientHeight, 14400);
  EXPECT_GT(layout.clientHeight, 14400 - 255);
  EXPECT_EQ(layout.textHeight % 255, 0);
  EXPECT_EQ(layout.controlsShift, layout.clientHeight - 1455);
  EXPECT_EQ(layout.display.lineCount, 501);  // the whole text is still there

  // Far more lines than 16 bits of twips could hold, with no limit given.
  const MsgBoxLayout unlimited = LayOutMsgBox(L"2   0" + text, 0);
  EXPECT_EQ(unlimited.clientHeight, 1455 + 499L * 255);  // the last "@" is a tail

  // A work area smaller than the design leaves the design size.
  EXPECT_EQ(LayOutMsgBox(L"2   0a@b", 1000).clientHeight, 1455);
}

TEST(MsgBoxLayout, CountdownShowsEverySecondThenCloses) {
  Countdown five(5);
  ASSERT_TRUE(five.Running());
  std::vector<int> shown{five.Shown()};
  while (!five.Tick()) shown.push_back(five.Shown());
  shown.push_back(five.Shown());
  EXPECT_EQ(shown, (std::vector<int>{5, 4, 3, 2, 1, 0}));
  EXPECT_FALSE(five.Running());
  EXPECT_FALSE(five.Tick());

  Countdown stopped(5);
  stopped.Tick();
  stopped.Stop();  // Esc
  EXPECT_FALSE(stopped.Running());
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(stopped.Tick());
  EXPECT_EQ(stopped.Shown(), 4);

  EXPECT_FALSE(Countdown(0).Running());
  EXPECT_TRUE(Countdown(-3).Tick());  // closes at its first tick
}

}  // namespace
}  // namespace valmora
