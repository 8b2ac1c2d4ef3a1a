// Watch mode, the notification icon, the logon toggles and the ways the
// program ends, through the real Valmora.exe.
#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <optional>
#include <thread>

#include "fake_office.h"
#include "harness.h"
#include "library/registry.h"
#include "library/registry_win32.h"
#include "mainwindow/control_ids.h"
#include "msgbox/msgbox_ids.h"
#include "startup/startup.h"
#include "notification_area.h"
#include "watch/logon.h"
#include "watch/tray_icon_win32.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;

std::wstring RegistryValue(const wchar_t* key) {
  valmora::Win32RegistryApi api;
  return valmora::ReadRegValue(api, valmora::kHkeyCurrentUser, key, L"Valmora");
}

bool Visible(HWND window) { return ::IsWindowVisible(window) != FALSE; }

// The icon's callback as the shell sends it: the newer form puts the event
// in the low word and the icon's id in the high word, the older sends the
// mouse message alone. The program acts on the one form it asked for.
void IconEvent(HWND main, UINT event) {
  ::PostMessageW(main, valmora::Win32TrayIcon::kCallbackMessage, 0, MAKELPARAM(event, 1));
  ::PostMessageW(main, valmora::Win32TrayIcon::kCallbackMessage, 0, event);
}

FILETIME LastWrite(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

// True once a tick has written the file again after this call.
bool WaitForNextWrite(const std::wstring& path) {
  const FILETIME before = LastWrite(path);
  return WaitUntil([&] {
    const FILETIME now = LastWrite(path);
    return ::CompareFileTime(&before, &now) < 0;
  }, 60s);
}

// Valmora.exe registered for watch mode and started with `arguments`; `log`
// is the log it finds, if any. Start-up offers to reopen what a log lists
// (every log these tests give lists an entry); the run answers No.
class WatchRun {
 public:
  WatchRun(const wchar_t* name, const wchar_t* arguments, const std::string& log = "") : folder_(name) {
    if (!log.empty()) folder_.WriteFile(L"Valmora.txt", log);
    registrations_.RegisterWatch(folder_);
    valmora_.emplace(folder_.Exe(), arguments);
    if (!log.empty()) {
      HWND question = valmora_->WaitForMessageSaying(valmora::kStartupQuestion);
      EXPECT_NE(question, nullptr) << "a logged entry is offered for reopening";
      if (question) PressDialogButton(question, valmora::msgbox_ids::kCmdNo);
    }
    main_ = valmora_->WaitForWindow(ids::kMainWindowClass);
  }
  HWND Main() const { return main_; }
  const TestFolder& Folder() const { return folder_; }
  Process& Valmora() { return *valmora_; }
  // "E&xit", as the user ends a watching run; the exit code.
  DWORD Exit() {
    PressDialogButton(main_, ids::kCmdExit);
    return valmora_->WaitForExit(20s);
  }

 private:
  Registrations registrations_;
  TestFolder folder_;
  std::optional<Process> valmora_;
  HWND main_ = nullptr;
};

TEST(WatchE2E, TicksHideTheWindowRewriteTheLogAndTheIconBringsItBack) {
  WatchRun run(L"watch_ticks", L"/watch=2", "12/5/2026 14:07\r\nC:\\Notes\\plan.txt\r\n");
  HWND main = run.Main();
  ASSERT_NE(main, nullptr);
  const std::wstring logPath = run.Folder().Log();
  EXPECT_TRUE(WaitUntil([&] { return !Visible(main); }, 60s)) << "the first tick hides the window";

  EXPECT_TRUE(WaitForNextWrite(logPath));
  const std::string log = ReadBytes(logPath);
  EXPECT_NE(log.find("\r\nC:\\Notes\\plan.txt\r\n"), std::string::npos) << log;  // kept by every tick

  IconEvent(main, NIN_SELECT);  // a left click on the icon, newer form
  IconEvent(main, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return Visible(main); }));
  std::this_thread::sleep_for(5s);  // two ticks and more
  EXPECT_TRUE(Visible(main)) << "brought back by the user, it stays";
  EXPECT_TRUE(WaitUntil([&] { return Text(::GetDlgItem(main, ids::kLblMsg1)).starts_with(L"Currently open:  "); }));

  ::PostMessageW(main, WM_CLOSE, 0, 0);  // the close box hides it again
  EXPECT_TRUE(WaitUntil([&] { return !Visible(main); }));
  EXPECT_EQ(run.Valmora().WaitForExit(1s), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(run.Exit(), 0u);
}

// Whatever the user's short-date format, every tick writes one date line and
// carries the hand-added file: the log never grows by a line per tick.
TEST(WatchE2E, TicksKeepTheLogAtOneDateLineInEveryShortDateFormat) {
  for (const wchar_t* format : {L"dd.MM.yyyy", L"yyyy-MM-dd", L"yyyy'\u5e74'M'\u6708'd'\u65e5'"}) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(std::wstring(format).size()));
    LocaleOverride date(L"sShortDate", format);
    WatchRun run(L"watch_date_formats", L"/watch=1", "C:\\Notes\\plan.txt\r\n");
    ASSERT_NE(run.Main(), nullptr);
    const std::wstring logPath = run.Folder().Log();
    for (int tick = 0; tick < 3; ++tick) {
      EXPECT_TRUE(WaitForNextWrite(logPath));
    }
    const std::string log = ReadBytes(logPath);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    EXPECT_TRUE(log.ends_with("\r\nC:\\Notes\\plan.txt\r\n")) << log;
    EXPECT_EQ(run.Exit(), 0u);
  }
}

TEST(WatchE2E, TheIconsMenuOffersRestore) {
  WatchRun run(L"watch_menu", L"/watch=600");
  HWND main = run.Main();
  ASSERT_NE(main, nullptr);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !Visible(main); }));

  IconEvent(main, WM_CONTEXTMENU);  // a right click, newer form
  IconEvent(main, WM_RBUTTONUP);
  HWND menu = run.Valmora().WaitForWindow(L"#32768");
  ASSERT_NE(menu, nullptr);
  Screenshot(menu, L"tray_menu");
  for (WPARAM key : {VK_DOWN, VK_RETURN}) {
    ::PostMessageW(menu, WM_KEYDOWN, key, 1);
    std::this_thread::sleep_for(200ms);
  }
  EXPECT_TRUE(WaitUntil([&] { return Visible(main); })) << "Restore brings the window back";
  EXPECT_EQ(run.Exit(), 0u);
}

constexpr UINT kIcon = valmora::Win32TrayIcon::kIconId;

// The tip is the time of the last scan and the short summary: with a date
// format outside the code page and a never-saved document it is longer than
// the old 63 bytes and not ANSI.
TEST(WatchE2E, TheIconKeepsItsWholeUnicodeTipAndComesBackWhenTheShellRestarts) {
  LocaleOverride date(L"sShortDate", L"yyyy'\u5e74'M'\u6708'd'\u65e5'");
  FakeOffice word(L"Word", "[Word]\ndocument C:\\Data\\Report.docx\ndocument Document2\n  Saved = false\n");
  ASSERT_TRUE(word.Start());
  WatchRun run(L"watch_tip", L"/watch=600");
  HWND main = run.Main();
  ASSERT_NE(main, nullptr);
  const std::wstring prefix = L"Currently open:  ";
  std::wstring label;
  ASSERT_TRUE(WaitUntil([&] { return (label = Text(::GetDlgItem(main, ids::kLblMsg1))).starts_with(prefix); }));
  const std::wstring dateLine = label.substr(prefix.size(), label.find(L"\r\n") - prefix.size());
  ASSERT_NE(dateLine.find(L'\u5e74'), std::wstring::npos) << dateLine;
  const std::wstring tip =
      dateLine + L"\r\nExcel: 0 docs\r\nWord: 1 doc + 1 NEW\r\nPowerPoint: 0 docs\r\nOutlook: 0 items";
  ASSERT_GT(tip.size(), 63u);
  EXPECT_TRUE(WaitUntil([&] { return NotificationIconTips() == std::vector<std::wstring>{tip}; }))
      << NotificationIconTips().size() << L" icons, the first: "
      << (NotificationIconTips().empty() ? L"" : NotificationIconTips().front());
  Screenshot(NotificationAreaWindow(), L"notification_area");

  DropNotificationIcon(main, kIcon);  // Explorer ended and took every icon with it
  ASSERT_FALSE(HasNotificationIcon(main, kIcon));
  ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);  // and started again
  EXPECT_TRUE(WaitUntil([&] { return HasNotificationIcon(main, kIcon); }));
  EXPECT_EQ(NotificationIconTips(), std::vector<std::wstring>{tip}) << "back with its tip";

  EXPECT_EQ(run.Exit(), 0u);
  EXPECT_TRUE(NotificationIconTips().empty());
  Process next(run.Folder().Exe(), L"-bad");  // owns the guard: shows the invalid command line
  EXPECT_NE(next.WaitForWindow(L"#32770"), nullptr);
}

// Early at logon the shell may refuse the icon for a while: until it takes
// it, ticks and the close box leave the window where the user can reach it.
TEST(WatchE2E, WhileTheShellRefusesTheIconTheWindowStaysWithinReach) {
  auto taskbar = std::make_unique<RefusingTaskbar>();
  ASSERT_TRUE(taskbar->Ready());
  WatchRun run(L"watch_refused", L"/watch=1", "C:\\Notes\\plan.txt\r\n");
  HWND main = run.Main();
  ASSERT_NE(main, nullptr);
  const std::wstring logPath = run.Folder().Log();
  for (int tick = 0; tick < 2; ++tick) EXPECT_TRUE(WaitForNextWrite(logPath));
  EXPECT_TRUE(Visible(main)) << "no icon: the ticks leave the window shown";
  EXPECT_FALSE(HasNotificationIcon(main, kIcon));

  const int refusedBefore = taskbar->RefusedAdds();
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(main) != FALSE; })) << "the close box minimises";
  EXPECT_TRUE(WaitUntil([&] { return taskbar->RefusedAdds() > refusedBefore; })) << "and tries the icon again";
  EXPECT_TRUE(WaitForNextWrite(logPath));
  EXPECT_TRUE(Visible(main)) << "on the taskbar, not hidden";
  EXPECT_EQ(run.Valmora().WaitForExit(1s), static_cast<DWORD>(STILL_ACTIVE));

  taskbar.reset();  // the shell is ready: the next retry adds the icon
  EXPECT_TRUE(WaitUntil([&] { return HasNotificationIcon(main, kIcon); }));
  EXPECT_TRUE(WaitUntil([&] { return !Visible(main); })) << "minimised, it goes to the icon";
  EXPECT_EQ(run.Exit(), 0u);
  EXPECT_TRUE(ReadBytes(logPath).ends_with("\r\nC:\\Notes\\plan.txt\r\n")) << ReadBytes(logPath);
}

TEST(WatchE2E, TheTogglesWriteAndReleaseEachOthersRegistration) {
  Registrations registrations;
  TestFolder folder(L"toggles");
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  HWND watch = ::GetDlgItem(main, ids::kCmdWatchMode), reopen = ::GetDlgItem(main, ids::kCmdReopenOnRestart);

  // The toggle shows its new state before its handler has done its work (the
  // window answers a query while it talks to the shell): wait for the work.
  const std::wstring watchCommand = L"\"" + folder.Exe() + L"\" /watch";
  const std::wstring reopenCommand = L"\"" + folder.Exe() + L"\" /reopen";
  PressDialogButton(main, ids::kCmdWatchMode);
  ASSERT_TRUE(WaitUntil([&] { return !Text(::GetDlgItem(main, ids::kLblMsg1)).empty(); }));  // scanned at once
  EXPECT_TRUE(IsPressed(watch));
  EXPECT_EQ(RegistryValue(valmora::kRunKey), watchCommand);
  EXPECT_TRUE(Visible(main)) << "pressed by the user, the window stays";
  EXPECT_TRUE(HasNotificationIcon(main, kIcon));

  PressDialogButton(Idle(main), ids::kCmdReopenOnRestart);
  ASSERT_TRUE(WaitUntil([&] { return RegistryValue(valmora::kRunKey).empty(); }));
  EXPECT_EQ(RegistryValue(valmora::kRunOnceKey), reopenCommand);
  EXPECT_TRUE(IsPressed(reopen));
  EXPECT_FALSE(IsPressed(watch));
  EXPECT_FALSE(HasNotificationIcon(main, kIcon)) << "watch mode ended";

  PressDialogButton(main, ids::kCmdReopenOnRestart);
  ASSERT_TRUE(WaitUntil([&] { return RegistryValue(valmora::kRunOnceKey).empty(); }));
  EXPECT_FALSE(IsPressed(reopen));

  ::PostMessageW(main, WM_CLOSE, 0, 0);  // not watching any more: the close box ends the program
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
}

// Started with /watch, the run watches whatever its toggle says; only the
// reopen toggle ends its watch mode.
TEST(WatchE2E, AWatchRunFromTheCommandLineKeepsWatchingWhenItsToggleIsReleased) {
  WatchRun run(L"toggles_watch_run", L"/watch=600");
  HWND main = run.Main();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return HasNotificationIcon(main, kIcon); }));
  ASSERT_TRUE(IsPressed(::GetDlgItem(main, ids::kCmdWatchMode)));
  // The buttons are locked while the first scan runs; they may not be locked
  // yet when the icon shows, so wait for the scan's summary first.
  ASSERT_TRUE(WaitUntil([&] { return !Text(::GetDlgItem(main, ids::kLblMsg1)).empty(); }));
  PressDialogButton(Idle(main), ids::kCmdWatchMode);
  ASSERT_TRUE(WaitUntil([&] { return RegistryValue(valmora::kRunKey).empty(); }));
  EXPECT_TRUE(HasNotificationIcon(main, kIcon)) << "still watching";

  PressDialogButton(main, ids::kCmdReopenOnRestart);
  const std::wstring reopenCommand = L"\"" + run.Folder().Exe() + L"\" /reopen";
  ASSERT_TRUE(WaitUntil([&] { return RegistryValue(valmora::kRunOnceKey) == reopenCommand; }));
  EXPECT_FALSE(HasNotificationIcon(main, kIcon)) << "the reopen toggle ends watch mode";
  ::PostMessageW(main, WM_CLOSE, 0, 0);  // no longer watching: the close box ends the run
  EXPECT_EQ(run.Valmora().WaitForExit(20s), 0u);
}

TEST(WatchE2E, TenStartsAtOnceLeaveOneInstance) {
  TestFolder folder(L"ten_starts");
  std::vector<std::unique_ptr<Process>> starts;
  for (int i = 0; i < 10; ++i) starts.push_back(std::make_unique<Process>(folder.Exe(), L""));
  int running = 0;
  for (auto& start : starts) {
    if (start->WaitForExit(10s) == STILL_ACTIVE) ++running;
  }
  EXPECT_EQ(running, 1);
}

TEST(WatchE2E, TheEndOfTheSessionSavesTheListInWatchModeOnly) {
  Registrations registrations;
  {
    TestFolder folder(L"session_interactive");
    Process valmora(folder.Exe(), L"");
    HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(SendBounded(main, WM_QUERYENDSESSION, 0, 0, 20s), TRUE);
    SendBounded(main, WM_ENDSESSION, TRUE, 0, 20s);
    EXPECT_EQ(valmora.WaitForExit(20s), 0u);
    EXPECT_EQ(folder.Files(), std::vector<std::wstring>{L"Valmora.exe"});  // no scan, no log
  }
  TestFolder folder(L"session_watch");
  registrations.RegisterWatch(folder);
  Process valmora(folder.Exe(), L"/watch=600");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ::GetFileAttributesW(folder.Log().c_str()) != INVALID_FILE_ATTRIBUTES; }));
  ::DeleteFileW(folder.Log().c_str());  // the start-up scan wrote it; the session's end must write it again
  EXPECT_EQ(SendBounded(main, WM_QUERYENDSESSION, 0, 0, 60s), TRUE);
  EXPECT_NE(::GetFileAttributesW(folder.Log().c_str()), INVALID_FILE_ATTRIBUTES);
  SendBounded(main, WM_ENDSESSION, TRUE, 0, 20s);
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);

  Process next(folder.Exe(), L"-bad");  // owns the guard: shows the invalid command line
  EXPECT_NE(next.WaitForWindow(L"#32770"), nullptr);
}

}  // namespace
}  // namespace e2e
