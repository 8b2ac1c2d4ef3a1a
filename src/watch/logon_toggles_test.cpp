#include "watch/logon_toggles.h"

#include <gtest/gtest.h>

#include "testing/fakes.h"

namespace valmora {
namespace {

using testing::FakeRegistry;

struct Window : MainView, TrayIcon, WatchTimer, WatchWindow, DocumentScanner {
  bool watchPressed = false, reopenPressed = false, icon = false, timer = false;
  int iconAdds = 0, scans = 0;

  void SetCmdLineCaption(const std::wstring&) override {}
  void SetMsg1Caption(const std::wstring&) override {}
  void SetWatchModePressed(bool p) override { watchPressed = p; }
  bool IsWatchModePressed() const override { return watchPressed; }
  void SetReopenOnRestartPressed(bool p) override { reopenPressed = p; }
  bool IsReopenOnRestartPressed() const override { return reopenPressed; }
  TwipSize ScreenSize() const override { return {}; }
  TwipSize WindowSize() const override { return {}; }
  void MoveTo(long, long) override {}
  void Display() override {}
  void Close() override {}
  void ShowRunningInstance() override {}
  void ShowStandardMessage(const std::wstring&, MessageIcon) override {}

  void Add() override { icon = true, ++iconAdds; }
  void Remove() override { icon = false; }
  bool IsShown() const override { return icon; }
  void SetInterval(int) override {}
  void Enable(bool e) override { timer = e; }
  bool IsMinimised() const override { return false; }
  bool IsHidden() const override { return false; }
  void Minimise() override {}
  void MinimiseAndHide() override {}
  void Restore() override {}
  void ShowTrayMenu() override {}
  void Go(const GoFlags&) override { ++scans; }
  void InShutdown() override {}
};

class LogonTogglesTest : public ::testing::Test {
 protected:
  std::wstring Run() { return ReadRegValue(registry, kHkeyCurrentUser, kRunKey, L"Valmora"); }
  std::wstring RunOnce() { return ReadRegValue(registry, kHkeyCurrentUser, kRunOnceKey, L"Valmora"); }

  FakeRegistry registry;
  Window w;
  GoState state;
  bool loading = false, cmdLineMode = false;
  std::wstring commandLine;
  LogonRegistration logon{registry, L"C:\\Tools", L"Valmora"};
  WatchMode watch{{state, commandLine, w, w, w, w}};
  LogonToggles toggles{{loading, cmdLineMode, state, w, logon, watch, w}};
};

TEST_F(LogonTogglesTest, WatchModeRegistersAndStartsWatchingAtOnceThenStopsAgain) {
  toggles.WatchModeClicked();
  EXPECT_EQ(Run(), L"\"C:\\Tools\\Valmora.exe\" /watch");
  EXPECT_TRUE(w.watchPressed);
  EXPECT_TRUE(state.blnWatching);
  EXPECT_TRUE(state.blnKeepShown);  // the window stays
  EXPECT_TRUE(w.icon);
  EXPECT_TRUE(w.timer);
  EXPECT_EQ(w.scans, 1);

  toggles.WatchModeClicked();
  EXPECT_EQ(Run(), L"");
  EXPECT_FALSE(state.blnWatching);
  EXPECT_FALSE(w.icon);
  EXPECT_FALSE(w.timer);

  toggles.WatchModeClicked();
  EXPECT_TRUE(w.icon);
  EXPECT_EQ(w.iconAdds, 2);
}

TEST_F(LogonTogglesTest, ReopenAtLogonStopsWatchingAndReleasesTheWatchToggle) {
  toggles.WatchModeClicked();
  toggles.ReopenOnRestartClicked();
  EXPECT_EQ(RunOnce(), L"\"C:\\Tools\\Valmora.exe\" /reopen");
  EXPECT_EQ(Run(), L"");
  EXPECT_FALSE(w.watchPressed);
  EXPECT_TRUE(w.reopenPressed);
  EXPECT_FALSE(state.blnWatching);
  EXPECT_FALSE(w.icon);
  EXPECT_FALSE(w.timer);

  toggles.WatchModeClicked();  // and the other way round
  EXPECT_EQ(RunOnce(), L"");
  EXPECT_FALSE(w.reopenPressed);
  EXPECT_EQ(Run(), L"\"C:\\Tools\\Valmora.exe\" /watch");
}

TEST_F(LogonTogglesTest, InACommandLineWatchRunTheWatchToggleChangesOnlyTheRegistration) {
  cmdLineMode = true;
  state.blnWatching = true;
  w.watchPressed = true;
  w.icon = true;
  w.timer = true;
  toggles.WatchModeClicked();  // released: the run goes on watching
  EXPECT_EQ(Run(), L"");
  EXPECT_TRUE(state.blnWatching);
  EXPECT_TRUE(w.icon);
  toggles.WatchModeClicked();  // pressed again: no second icon, no scan
  EXPECT_EQ(Run(), L"\"C:\\Tools\\Valmora.exe\" /watch");
  EXPECT_EQ(w.iconAdds, 0);
  EXPECT_EQ(w.scans, 0);

  toggles.ReopenOnRestartClicked();  // this one does stop a /watch run
  EXPECT_FALSE(state.blnWatching);
  EXPECT_FALSE(w.icon);
}

TEST_F(LogonTogglesTest, NothingHappensWhileStartUpShowsTheRegistrations) {
  loading = true;
  toggles.WatchModeClicked();
  toggles.ReopenOnRestartClicked();
  EXPECT_EQ(Run(), L"");
  EXPECT_EQ(RunOnce(), L"");
  EXPECT_FALSE(state.blnWatching);
}

TEST(LogonRegistration, RecognisedByTheEndingInAnyCase) {
  FakeRegistry registry;
  LogonRegistration logon(registry, L"C:\\New", L"Valmora");
  registry.Put(kRunKey, L"Valmora", L"\"C:\\Old\\Valmora.exe\" /WATCH");
  EXPECT_TRUE(logon.IsWatchRegistered());
  registry.Put(kRunKey, L"Valmora", L"\"C:\\Old\\Valmora.exe\" /watch ");
  EXPECT_FALSE(logon.IsWatchRegistered());
  registry.Put(kRunOnceKey, L"Valmora", L"x /Reopen");
  EXPECT_TRUE(logon.IsReopenRegistered());
  logon.UnregisterReopen();
  EXPECT_FALSE(logon.IsReopenRegistered());
}

// An empty value name stands for the key's default value, and deleting it
// would take the user's every other logon program with the key.
TEST(LogonRegistration, WithoutANameNothingIsReadWrittenOrDeleted) {
  FakeRegistry registry;
  registry.Put(kRunKey, L"Other", L"\"C:\\Other\\other.exe\" /watch");
  registry.Put(kRunKey, L"", L"x /watch");
  registry.Put(kRunOnceKey, L"Setup", L"setup.exe /reopen");
  registry.Put(kRunOnceKey, L"", L"x /reopen");
  const auto before = registry.keys;
  LogonRegistration logon(registry, L"C:\\V", L"");
  EXPECT_FALSE(logon.IsWatchRegistered());
  EXPECT_FALSE(logon.IsReopenRegistered());
  logon.RegisterWatch();
  logon.RegisterReopen();
  logon.UnregisterWatch();
  logon.UnregisterReopen();
  EXPECT_TRUE(registry.HasKey(kRunKey));
  EXPECT_TRUE(registry.HasKey(kRunOnceKey));
  EXPECT_EQ(registry.keys.size(), before.size());
  for (const auto& [path, key] : before) EXPECT_EQ(registry.keys.at(path).values, key.values) << path;
}

}  // namespace
}  // namespace valmora
