#include "watch/watch_mode.h"

#include <gtest/gtest.h>

#include <vector>

namespace valmora {
namespace {

// Icon, timer, window and scanner in one journal, in call order.
struct Journal : TrayIcon, WatchTimer, WatchWindow, DocumentScanner {
  std::vector<std::string> events;
  bool shown = false, minimised = false, hidden = false, refuseIcon = false;

  void Add() override { events.push_back("icon add"), shown = !refuseIcon; }
  void Remove() override { events.push_back("icon remove"), shown = false; }
  bool IsShown() const override { return shown; }
  void SetInterval(int s) override { events.push_back("interval " + std::to_string(s)); }
  void Enable(bool e) override { events.push_back(e ? "timer on" : "timer off"); }
  void Display() override { events.push_back("display"); }
  bool IsMinimised() const override { return minimised; }
  bool IsHidden() const override { return hidden; }
  void Minimise() override { events.push_back("minimise"), minimised = true, hidden = false; }
  void MinimiseAndHide() override { events.push_back("hide"), minimised = hidden = true; }
  void Restore() override { events.push_back("restore"); }
  void ShowTrayMenu() override { events.push_back("menu"); }
  void Go(const GoFlags& f) override { events.push_back(f == kQuietScan ? "quiet scan" : "other scan"); }
  void InShutdown() override { events.push_back("in shutdown"); }
};

class WatchModeTest : public ::testing::Test {
 protected:
  Journal j;
  GoState state;
  std::wstring commandLine = L"/watch=30";
  WatchMode watch{{state, commandLine, j, j, j, j}};
};

TEST(WatchInterval, OnlyAWholeNumberAfterTheExactSwitchCounts) {
  const struct {
    const wchar_t* commandLine;
    int seconds;
  } cases[] = {
      {L"/watch=30", 30},   {L"/watch", 90},      {L"/WATCH=30", 90},     {L"/watch=0", 90},
      {L"/watch=-5", 90},   {L"/watch=abc", 90},  {L"/watch=12x", 90},    {L"/watch=", 90},
      {L"/watch=45 ", 45},  {L"x /watch=2", 2},   {L"/watch=99999999999", 90},
  };
  for (const auto& c : cases) EXPECT_EQ(WatchIntervalSeconds(c.commandLine), c.seconds) << c.commandLine;
}

TEST_F(WatchModeTest, InitWatchSetsTheIntervalAndShowsTheIconOnce) {
  watch.InitWatch();
  watch.CreateTrayIcon();  // already there: nothing more
  EXPECT_EQ(j.events, (std::vector<std::string>{"interval 30", "display", "icon add"}));
  EXPECT_TRUE(state.trayIconShown);
}

TEST_F(WatchModeTest, IconClicksRestoreOrOpenTheMenu) {
  watch.OnIconEvent(IconEvent::LeftButtonUp);
  EXPECT_TRUE(state.blnKeepShown);
  watch.OnIconEvent(IconEvent::DoubleClick);
  watch.OnIconEvent(IconEvent::RightButtonUp);
  EXPECT_EQ(j.events, (std::vector<std::string>{"restore", "restore", "menu"}));
}

TEST_F(WatchModeTest, TheCloseBoxHidesScansOnceAndLetsTicksHideAgain) {
  state.blnKeepShown = true;
  watch.CreateTrayIcon();
  j.events.clear();
  watch.HideToTray();
  EXPECT_EQ(j.events, (std::vector<std::string>{"hide", "quiet scan"}));
  EXPECT_FALSE(state.blnKeepShown);
}

// Until the shell takes the icon, the window stays where the user can reach
// it: minimised at most, hidden only once the icon is really there.
TEST_F(WatchModeTest, ARefusedIconNeverLeavesTheWindowHidden) {
  j.refuseIcon = j.minimised = true;  // a minimised shortcut, early at logon
  watch.InitWatch();
  EXPECT_EQ(j.events, (std::vector<std::string>{"interval 30", "display", "icon add"}));
  EXPECT_FALSE(state.trayIconShown);

  j.minimised = false;
  j.events.clear();
  watch.HideToTray();  // the close box tries the icon again
  EXPECT_EQ(j.events, (std::vector<std::string>{"icon add", "minimise", "quiet scan"}));
  EXPECT_FALSE(state.blnKeepShown);

  j.events.clear();
  j.shown = true;  // a retry got through
  watch.IconChanged();
  watch.IconChanged();  // nothing new
  EXPECT_EQ(j.events, (std::vector<std::string>{"hide"}));
  EXPECT_TRUE(state.trayIconShown);

  j.events.clear();
  j.shown = false;  // the taskbar restarted and refuses the icon again
  watch.IconChanged();
  EXPECT_EQ(j.events, (std::vector<std::string>{"minimise"}));
  EXPECT_FALSE(state.trayIconShown);
}

TEST_F(WatchModeTest, AnIconThatArrivesLeavesAWindowTheUserKeepsAlone) {
  j.refuseIcon = true;
  watch.InitWatch();
  j.events.clear();
  for (const bool keptShown : {true, false}) {
    state.blnKeepShown = keptShown;
    j.minimised = keptShown;  // kept shown by the user, or shown normally
    j.shown = true;
    watch.IconChanged();
    j.shown = false;
    watch.IconChanged();  // visible: nothing to bring back
  }
  EXPECT_TRUE(j.events.empty());
}

TEST_F(WatchModeTest, LeavingStopsTheTimerAndRemovesTheIcon) {
  state.blnWatching = true;
  watch.InitWatch();
  watch.Leave();
  EXPECT_EQ(j.events.back(), "icon remove");
  EXPECT_FALSE(state.blnWatching);
  EXPECT_FALSE(state.trayIconShown);
  j.events.clear();
  watch.CreateTrayIcon();  // on again in the same run: shown again
  EXPECT_EQ(j.events, (std::vector<std::string>{"display", "icon add"}));
}

}  // namespace
}  // namespace valmora
