// The real Valmora.exe at start-up: runs, registrations, the single instance.
#include <gtest/gtest.h>

#include <algorithm>

#include "fake_office.h"
#include "harness.h"
#include "library/module_path_win32.h"
#include "msgbox/msgbox_ids.h"
#include "library/unique_handle_win32.h"
#include "library/registry.h"
#include "library/registry_win32.h"
#include "mainwindow/control_ids.h"
#include "startup/startup.h"
#include "watch/logon.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;

constexpr wchar_t kMessageBox[] = L"#32770";

// Leaves no logon registration behind for the next test.
class RunValue {
 public:
  explicit RunValue(const std::wstring& data) {
    valmora::WriteRegValue(api_, data, valmora::kHkeyCurrentUser, valmora::kRunKey, L"Valmora", true);
  }
  ~RunValue() { valmora::DeleteRegEntry(api_, valmora::kHkeyCurrentUser, valmora::kRunKey, L"Valmora"); }

 private:
  valmora::Win32RegistryApi api_;
};

TEST(Startup, InvalidCommandLineShowsMessageThenHelpAndEnds) {
  TestFolder folder(L"invalid");
  Process valmora(folder.Exe(), L"-reopen");

  HWND invalid = valmora.WaitForWindow(kMessageBox);
  ASSERT_NE(invalid, nullptr);
  EXPECT_EQ(Text(invalid), L"Valmora");
  EXPECT_EQ(MessageBoxText(invalid), L"Commandline is invalid");
  // The main window is never shown in this run: owned by it, the box would
  // get no taskbar button and could sit behind other windows unseen.
  EXPECT_EQ(::GetWindow(invalid, GW_OWNER), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == invalid; }, 5s)) << "in front";
  Screenshot(invalid, L"invalid_commandline");
  PressDialogButton(invalid, IDOK);

  HWND help = nullptr;
  for (int i = 0; i < 100 && (!help || help == invalid); ++i) {
    help = valmora.WaitForWindow(kMessageBox);
    if (help == invalid) ::Sleep(50);
  }
  ASSERT_NE(help, nullptr);
  const std::wstring text = MessageBoxText(help);
  EXPECT_TRUE(text.starts_with(L"Commandline:   Valmora  [options]\r\n\r\n/watch    - prog will first try")) << text;
  EXPECT_TRUE(text.ends_with(L"achieved by selecting the buttons on the main form.")) << text;
  EXPECT_EQ(::GetWindow(help, GW_OWNER), nullptr);
  Screenshot(help, L"help");
  PressDialogButton(help, IDOK);

  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
  EXPECT_EQ(folder.Files(), std::vector<std::wstring>{L"Valmora.exe"});  // nothing written
}

// Wine quotes an unquoted program path with blanks before the program reads
// its command line; where it does not, the program must still see no
// arguments. The rule itself is proved by the unit tests.
TEST(Startup, APlainStartFromAFolderWithABlankIsInteractive) {
  TestFolder folder(L"with blank");
  for (bool quoted : {true, false}) {
    SCOPED_TRACE(quoted ? "quoted" : "unquoted");
    Process valmora(folder.Exe(), L"", quoted);
    HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(valmora.WaitForWindow(kMessageBox, 2s), nullptr) << "Commandline is invalid";
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(valmora.WaitForExit(20s), 0u);
  }
}

// run_e2e.sh locks a folder holding Valmora.exe, as "C:\Program Files" is
// to a user, and the per-user folder of its copy Nowhere.exe as well.
std::wstring LockedFolder() { return EnvOr(L"VALMORA_LOCKED_FOLDER", L""); }

TEST(Startup, ALogThatCannotStayBesideTheExeGoesToTheUsersFolderAndTheWindowSaysWhere) {
  if (LockedFolder().empty()) GTEST_SKIP() << "no folder could be locked on this machine";
  const std::wstring userLog = valmora::LocalAppDataFolder() + L"\\Valmora\\Valmora.txt";
  ::DeleteFileW(userLog.c_str());
  FakeOffice word(L"Word", "[Word]\ndocument C:\\Data\\Report.docx\n");
  ASSERT_TRUE(word.Start());
  {
    Process shutdown(LockedFolder() + L"\\Valmora.exe", L"/shutdown");
    EXPECT_EQ(shutdown.WaitForExit(60s), 0u);
    EXPECT_EQ(shutdown.WaitForWindow(valmora::msgbox_ids::kWindowClass, 1s), nullptr) << "nothing to report";
  }
  EXPECT_TRUE(ReadBytes(userLog).starts_with("C:\\Data\\Report.docx\r\n")) << ReadBytes(userLog);

  Process valmora(LockedFolder() + L"\\Valmora.exe", L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(::GetDlgItem(main, ids::kLblCmdLine)), L"Log: " + userLog);
  EXPECT_TRUE(
      Text(::GetDlgItem(main, ids::kLblMsg1)).ends_with(L"Word: 1\r\nPowerPoint: none\r\nOutlook: none\r\nOther: none"))
      << "the summary is the per-user log's";
  Screenshot(main, L"main_log_in_user_folder");
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
  ::DeleteFileW(userLog.c_str());
}

TEST(Startup, ALogThatCannotBeWrittenAnywhereIsSaidWithThePathAndTheReason) {
  if (LockedFolder().empty()) GTEST_SKIP() << "no folder could be locked on this machine";
  FakeOffice word(L"Word", "[Word]\ndocument C:\\Data\\Report.docx\n");
  ASSERT_TRUE(word.Start());
  Process shutdown(LockedFolder() + L"\\Nowhere.exe", L"/shutdown");
  HWND box = shutdown.WaitForNewWindow(valmora::msgbox_ids::kWindowClass);
  ASSERT_NE(box, nullptr);
  const std::wstring text = Text(::GetDlgItem(box, valmora::msgbox_ids::kTxtMessage));
  const std::wstring userLog = valmora::LocalAppDataFolder() + L"\\Nowhere\\Nowhere.txt";
  EXPECT_TRUE(text.starts_with(L"The list of open documents could not be saved in\r\n" + userLog + L"\r\n\r\n"))
      << text;
  EXPECT_GT(text.size(), text.rfind(L"\r\n") + 3) << "with the system's reason";
  Screenshot(box, L"log_not_saved");
  PressDialogButton(Ready(box), valmora::msgbox_ids::kCmdOk);
  EXPECT_EQ(shutdown.WaitForExit(60s), 0u);
  EXPECT_EQ(shutdown.WaitForNewWindow(valmora::msgbox_ids::kWindowClass, box, 1s), nullptr) << "said once";
}

TEST(Startup, BlankCommandLineShowsTheLogSummary) {
  TestFolder folder(L"interactive");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Data\\a.xlsx\r\nC:\\Data\\b.xls\r\nC:\\Data\\c.docx\r\n"
                                   "Outlook:00AB'05/12/26 Lunch\r\nC:\\Data\\notes.txt\r\n\r\n");
  Process valmora(folder.Exe(), L"  ");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(main), L"Valmora");
  EXPECT_EQ(
      Text(::GetDlgItem(main, ids::kLblMsg1)),
      L"Open at last check:  12/5/2026 14:07\r\nExcel: 2\r\nWord: 1\r\nPowerPoint: none\r\nOutlook: 1\r\nOther: 1");
  EXPECT_EQ(Text(::GetDlgItem(main, ids::kLblCmdLine)), L"");
  EXPECT_FALSE(IsPressed(::GetDlgItem(main, ids::kCmdWatchMode)));
  Screenshot(main, L"main_interactive");
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
}

TEST(Startup, LogOutsideTheCodePageIsReadAsUtf8) {
  TestFolder folder(L"utf8log");
  folder.WriteFile(L"Valmora.txt", "\xEF\xBB\xBF" "12/5/2026 14:07\r\nC:\\\xE6\x97\xA5\xE6\x9C\xAC\\plan.xlsx\r\n");
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(::GetDlgItem(main, ids::kLblMsg1)),
            L"Open at last check:  12/5/2026 14:07\r\nExcel: 1\r\nWord: none\r\nPowerPoint: none\r\n"
            L"Outlook: none\r\nOther: none");
}

// Saved by Notepad as "UTF-16" (little-endian, BOM) or "UTF-16 BE": read as
// text, not as one garbled line; the next write is the program's own ANSI.
TEST(Startup, Utf16LogsAreReadAndRewrittenInTheProgramsEncoding) {
  const std::wstring text = L"12/5/2026 14:07\r\nC:\\Data\\caf\u00e9.xlsx\r\nC:\\Notes\\plan.txt\r\n";
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
    TestFolder folder(bigEndian ? L"utf16be" : L"utf16le");
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t u : text) {
      const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
      bytes += bigEndian ? high : low;
      bytes += bigEndian ? low : high;
    }
    folder.WriteFile(L"Valmora.txt", bytes);
    {
      Process valmora(folder.Exe(), L"");
      HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
      ASSERT_NE(main, nullptr);
      EXPECT_EQ(Text(::GetDlgItem(main, ids::kLblMsg1)),
                L"Open at last check:  12/5/2026 14:07\r\nExcel: 1\r\nWord: none\r\nPowerPoint: none\r\n"
                L"Outlook: none\r\nOther: 1");
      ::PostMessageW(main, WM_CLOSE, 0, 0);
      EXPECT_EQ(valmora.WaitForExit(20s), 0u);
    }
    Process shutdown(folder.Exe(), L"/shutdown");  // no Office: only the hand-added file stays
    EXPECT_EQ(shutdown.WaitForExit(60s), 0u);
    const std::string log = ReadBytes(folder.Log());
    EXPECT_TRUE(log.ends_with("\r\nC:\\Notes\\plan.txt\r\n")) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    EXPECT_EQ(log.find('\0'), std::string::npos) << "written as ANSI";
  }
}

// Editors save UTF-8 without a BOM. The date line is shown as read, so a
// PM designator outside the code page shows whether the bytes were decoded
// right: read as ANSI it would not parse as a date and would count as Other.
TEST(Startup, BomlessUtf8LogIsReadAsUtf8) {
  TestFolder folder(L"utf8nobom");
  LocaleOverride pm(L"s2359", L"\u5348\u5f8c");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 2:07 \xE5\x8D\x88\xE5\xBE\x8C\r\nC:\\Daten\\\xC3\x9C" "bersicht.xlsx\r\n");
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(::GetDlgItem(main, ids::kLblMsg1)),
            L"Open at last check:  12/5/2026 2:07 \u5348\u5f8c\r\nExcel: 1\r\nWord: none\r\n"
            L"PowerPoint: none\r\nOutlook: none\r\nOther: none");
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
}

TEST(Startup, WatchRegistrationShowsTheTogglePressed) {
  TestFolder folder(L"watchreg");
  RunValue run(L"\"" + folder.Exe() + L"\" /WATCH");
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(IsPressed(::GetDlgItem(main, ids::kCmdWatchMode)));
  EXPECT_FALSE(IsPressed(::GetDlgItem(main, ids::kCmdReopenOnRestart)));
  Screenshot(main, L"main_watch_registered");
  PressDialogButton(main, ids::kCmdExit);  // the close box would only hide a watching window
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
}

TEST(Startup, WatchCommandLineSaysSo) {
  TestFolder folder(L"watchcmd");
  Process valmora(folder.Exe(), L"/watch=30");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(::GetDlgItem(main, ids::kLblCmdLine)), L"Watch mode set via commandline");
  Screenshot(main, L"main_watch_commandline");
}

TEST(Startup, ReopenRunEndsAndConsumesTheRunOnceValue) {
  TestFolder folder(L"reopen");
  valmora::Win32RegistryApi api;
  valmora::WriteRegValue(api, L"\"" + folder.Exe() + L"\" /reopen", valmora::kHkeyCurrentUser, valmora::kRunOnceKey,
                         L"Valmora", true);
  Process valmora(folder.Exe(), L"/REOPEN");  // no log: nothing to offer
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
  EXPECT_EQ(valmora::ReadRegValue(api, valmora::kHkeyCurrentUser, valmora::kRunOnceKey, L"Valmora"), L"");
}

TEST(Startup, ShutdownRunWritesTheLogBesideTheExeAndKeepsHandAddedFiles) {
  TestFolder folder(L"shutdown");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Data\\old.xlsx\r\nC:\\Notes\\plan.txt\r\n");
  Process valmora(folder.Exe(), L"/shutdown");
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
  // Nothing of Office is running here: a fresh date line and the hand-added file.
  const std::string log = ReadBytes(folder.Log());
  const std::size_t firstLine = log.find("\r\n");
  ASSERT_NE(firstLine, std::string::npos);
  EXPECT_NE(log.substr(0, firstLine), "12/5/2026 14:07");
  EXPECT_EQ(log.substr(firstLine), "\r\nC:\\Notes\\plan.txt\r\n");
}

TEST(Startup, SecondInstanceEndsSilentlyUntilTheFirstHasGone) {
  TestFolder folder(L"single");
  auto first = std::make_unique<Process>(folder.Exe(), L"");
  HWND main = first->WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);

  // An invalid command line would show a message box if the guard let it run.
  Process second(folder.Exe(), L"-bad");
  EXPECT_EQ(second.WaitForExit(20s), 0u);

  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(first->WaitForExit(20s), 0u);
  first.reset();

  Process third(folder.Exe(), L"-bad");
  HWND box = third.WaitForWindow(kMessageBox);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), L"Commandline is invalid");
}

// The user starts the program again while it hides in the notification
// area: the second start ends at once and brings the first to the front; an
// unattended start (/shutdown at logoff) leaves it where it is.
TEST(Startup, ASecondStartShowsTheFirstHiddenInTheTrayButAnUnattendedOneDoesNot) {
  TestFolder folder(L"single_tray");
  Process first(folder.Exe(), L"/watch=300");  // no log yet: nothing to ask
  HWND main = first.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Text(::GetDlgItem(main, ids::kLblMsg1)).starts_with(L"Currently open:"); }, 60s));
  ::PostMessageW(main, WM_CLOSE, 0, 0);  // watching: the close box hides it in the tray
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(main); }, 30s));

  Process unattended(folder.Exe(), L"/shutdown");
  EXPECT_EQ(unattended.WaitForExit(20s), 0u);
  EXPECT_FALSE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 3s)) << "a /shutdown start showed it";

  Process again(folder.Exe(), L"");
  EXPECT_EQ(again.WaitForExit(20s), 0u);
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 20s)) << "nothing to see";
  Screenshot(main, L"second_start_shows_the_first");
  PressDialogButton(main, ids::kCmdExit);
  EXPECT_EQ(first.WaitForExit(30s), 0u);
}

// A handle of the test's own keeps the mutex alive across the kill, so the
// next start really meets one that its owner abandoned.
TEST(Startup, KilledInstanceDoesNotBlockTheNext) {
  TestFolder folder(L"abandoned");
  valmora::UniqueKernelHandle held;
  {
    Process first(folder.Exe(), L"");
    ASSERT_NE(first.WaitForWindow(ids::kMainWindowClass), nullptr);
    held.reset(::OpenMutexW(SYNCHRONIZE, FALSE, L"iValmorai"));
    ASSERT_TRUE(held) << ::GetLastError();
  }  // terminated without releasing the guard
  Process next(folder.Exe(), L"");
  EXPECT_NE(next.WaitForWindow(ids::kMainWindowClass), nullptr);
}

}  // namespace
}  // namespace e2e
