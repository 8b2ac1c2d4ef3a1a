// The reopen of logged items through the real Valmora.exe and the shell recorder.
#include <gtest/gtest.h>

#include <optional>

#include "fake_office.h"
#include "harness.h"
#include "library/utf.h"
#include "mainwindow/control_ids.h"
#include "msgbox/msgbox_ids.h"
#include "shell_record.h"
#include "startup/startup.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;
namespace msgbox = valmora::msgbox_ids;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
std::wstring Message(HWND box) { return Text(::GetDlgItem(box, msgbox::kTxtMessage)); }

// The program's box once its message begins so, or nullptr after the time.
HWND WaitForBoxBeginning(const Process& valmora, const std::wstring& start, std::chrono::milliseconds bound) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        HWND box = valmora.WaitForWindow(msgbox::kWindowClass, 100ms);
        if (box && Message(box).starts_with(start)) found = box;
        return found != nullptr;
      },
      bound);
  return found;
}

ULONGLONG LastWrite(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

TEST(ReopenE2E, AReopenRunOpensLoggedFilesInOrderAndWarnsAboutMissingOnes) {
  ShellRecord record;
  TestFolder folder(L"reopen_run");
  const std::wstring notes = folder.Path() + L"\\notes.txt", missing = folder.Path() + L"\\missing.docx";
  folder.WriteFile(L"notes.txt", "x");
  // A document kept in a cloud library: an address, not a file to look for.
  const std::wstring cloud = L"https://corvellan.example/sites/team/Shared%20Documents/Plan.docx";
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\n" + Narrow(missing) + "\r\n" + Narrow(notes) + "\r\n" +
                                       Narrow(folder.Path()) + "\\gone.txt\r\n" + Narrow(cloud) + "\r\n");
  Process valmora(folder.Exe(), L"/reopen");

  HWND question = valmora.WaitForWindow(msgbox::kWindowClass);
  ASSERT_NE(question, nullptr);
  // Left alone, the question answers Yes; then the missing Word file is
  // named, once the reopen is over, in a notice that closes by itself.
  HWND warning = valmora.WaitForMessageSaying(L"Not everything could be reopened:\r\n\r\nFile " + missing + L" not found", 60s);
  ASSERT_NE(warning, nullptr);
  Screenshot(warning, L"reopen_file_not_found");
  PressDialogButton(warning, msgbox::kCmdOk);

  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
  // The missing file was handed to the shell too, which found nothing to
  // open; the hand-added file that is gone was left out without a word.
  // No warning came for the cloud document: the run ended without another box.
  const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
  EXPECT_EQ(record.ReadWhenQuiet(), (std::vector<ShellRequest>{{notes, maximised}, {cloud, maximised}}));
}

// An Outlook that gives no answer (hung, or busy past its time) is no Outlook
// that found nothing: no warning waits for a click, and the shell gets each
// item as if found.
// The program COM would start for Outlook, replaced for a while by one that
// is not there: a machine whose mail program has no automation object.
class NoOutlookServer {
 public:
  NoOutlookServer() {
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
    wchar_t old[1024] = {};
    DWORD size = sizeof old - sizeof(wchar_t);
    if (key_ && ::RegQueryValueExW(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS) {
      old_ = old;
    }
    Set(L"C:\\nowhere\\no-outlook.exe");
  }
  ~NoOutlookServer() {
    if (!old_.empty()) Set(old_);
    if (key_) ::RegCloseKey(key_);
  }
  NoOutlookServer(const NoOutlookServer&) = delete;
  NoOutlookServer& operator=(const NoOutlookServer&) = delete;
  bool Replaced() const { return key_ && !old_.empty(); }

 private:
  static constexpr wchar_t kServerKey[] =
      L"Software\\Classes\\CLSID\\{ADBFEEBB-B30D-4142-9DCD-137E7E7C6DC9}\\LocalServer32";
  void Set(const std::wstring& value) {
    if (key_) {
      ::RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
  }
  HKEY key_ = nullptr;
  std::wstring old_;
};

// An Outlook that gives no answer (hung, busy past its time, not there to be
// started) is no Outlook that found nothing: no warning waits for a click,
// and the shell gets each item as if found.
TEST(ReopenE2E, ItemsOutlookGaveNoAnswerForAreHandedToTheShellWithoutAWarning) {
  const struct {
    const char* what;
    std::string faults;  // nothing: Outlook is not running, and cannot be started
    int lookups;         // GetItemFromID calls the fake saw
  } cases[] = {
      // The first lookup waits out its deadline, the second gives up at once.
      {"a lookup that hangs", "GetItemFromID hangs\n", 1},
      {"a namespace refused as busy", "GetNamespace rejected 1000\n", 0},
      {"no automation object", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeOffice outlook(L"Outlook", "[Outlook]\n" + c.faults + "item\n  EntryID = 00CD34\n  Subject = Lunch\n");
    std::optional<NoOutlookServer> missing;
    if (c.faults.empty()) {
      missing.emplace();
      ASSERT_TRUE(missing->Replaced());
    } else {
      ASSERT_TRUE(outlook.Start());
    }
    ShellRecord record;
    TestFolder folder(L"reopen_silent_outlook");
    folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nOutlook:00CD34'Lunch\r\nOutlook:00EF56'Minutes\r\n");
    Process valmora(folder.Exe(), L"/reopen");
    HWND question = valmora.WaitForWindow(msgbox::kWindowClass);
    ASSERT_NE(question, nullptr);
    PressDialogButton(question, msgbox::kCmdYes);

    const DWORD exitCode = valmora.WaitForExit(60s);
    if (exitCode == static_cast<DWORD>(STILL_ACTIVE)) {
      HWND box = valmora.WaitForWindow(msgbox::kWindowClass, 1s);
      if (box) Screenshot(box, L"reopen_silent_outlook_warning");
    }
    EXPECT_EQ(exitCode, 0u) << "a box waits for an answer";
    const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
    EXPECT_EQ(record.ReadWhenQuiet(),
              (std::vector<ShellRequest>{{L"Outlook:00CD34", maximised}, {L"Outlook:00EF56", maximised}}));
    if (missing) continue;
    const auto counts = outlook.Counts().members;
    const auto lookups = counts.find("NameSpace.GetItemFromID");
    EXPECT_EQ(lookups == counts.end() ? 0 : lookups->second.invokes, c.lookups) << "asked no more than that";
    outlook.Kill();
  }
}

// An Excel still opening (or failing to open) what "Re&open Now" handed over
// shows none of it to the rescan right after: the log keeps every entry, and
// what the shell would not open is said once, with the system's reason.
TEST(ReopenE2E, ReopenNowKeepsWhatExcelDoesNotShowYetAndSaysWhatTheShellRefused) {
  FakeOffice excel(L"Excel", "[Excel]\n");
  ASSERT_TRUE(excel.Start());
  ShellRecord record;
  TestFolder folder(L"reopen_now_kept");
  const std::string dir = valmora::ToUtf8(folder.Path());
  for (const wchar_t* file : {L"a.xlsx", L"b.xlsx", L"c.valmoranohandler"}) folder.WriteFile(file, "x");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\n" + dir + "\\a.xlsx\r\n" + dir + "\\b.xlsx\r\nExcel:" + dir +
                                       "\\c.valmoranohandler\r\n");
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  PressDialogButton(Idle(main), ids::kCmdReopen);

  HWND notice = WaitForBoxBeginning(valmora, L"Not everything could be reopened:\r\n\r\nCould not open " +
                                                 folder.Path() + L"\\c.valmoranohandler: ", 60s);
  ASSERT_NE(notice, nullptr) << "a refused open was not said";
  EXPECT_GT(Message(notice).size(), Message(notice).find(L"valmoranohandler: ") + 18) << "with the system's reason";
  Screenshot(notice, L"reopen_refused_by_the_shell");
  PressDialogButton(notice, msgbox::kCmdOk);
  ASSERT_TRUE(WaitUntil([&] { return !ReadBytes(folder.Log()).starts_with("12/5/2026"); }, 60s)) << "no rescan";
  const std::string log = ReadBytes(folder.Log());
  for (const std::string& line : {dir + "\\a.xlsx\r\n", dir + "\\b.xlsx\r\n", "Excel:" + dir + "\\c.valmoranohandler\r\n"}) {
    EXPECT_EQ(Occurrences(log, line), 1u) << line << " in\n" << log;
  }
  const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
  EXPECT_EQ(record.ReadWhenQuiet(), (std::vector<ShellRequest>{{folder.Path() + L"\\a.xlsx", maximised},
                                                              {folder.Path() + L"\\b.xlsx", maximised}}));
  PressDialogButton(Idle(main), ids::kCmdExit);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

// The already-open check gives up on an Excel that hangs: what it may have
// open is not handed to it again, and the notice says so.
TEST(ReopenE2E, AReopenLeavesTheWorkbooksOfAHungExcelAlone) {
  FakeOffice excel(L"Excel", "[Excel]\nWorkbooks hangs\n");
  ASSERT_TRUE(excel.Start());
  ShellRecord record;
  TestFolder folder(L"reopen_hung_excel");
  folder.WriteFile(L"a.xlsx", "x");
  const std::string log = "12/5/2026 14:07\r\n" + valmora::ToUtf8(folder.Path()) + "\\a.xlsx\r\n";
  folder.WriteFile(L"Valmora.txt", log);
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  PressDialogButton(Idle(main), ids::kCmdReopen);
  HWND notice = valmora.WaitForMessageSaying(
      L"Not everything could be reopened:\r\n\r\nNot reopened while Excel does not answer: " + folder.Path() +
          L"\\a.xlsx",
      60s);
  ASSERT_NE(notice, nullptr);
  Screenshot(notice, L"reopen_hung_excel");
  PressDialogButton(notice, msgbox::kCmdOk);
  ASSERT_TRUE(WaitUntil([&] { return !ReadBytes(folder.Log()).starts_with("12/5/2026"); }, 60s)) << "no rescan";
  EXPECT_NE(ReadBytes(folder.Log()).find(log.substr(log.find("\r\n") + 2)), std::string::npos) << ReadBytes(folder.Log());
  EXPECT_EQ(record.ReadWhenQuiet(), std::vector<ShellRequest>());
  PressDialogButton(Idle(main), ids::kCmdExit);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
  excel.Kill();
}

// "No" at a watch logon means "not now": the first scan rewrites the log,
// but the last session's list is kept beside it and reopened from the menu.
TEST(ReopenE2E, NoAtAWatchLogonThenReopenPreviousSessionBringsTheListBack) {
  Registrations registrations;
  ShellRecord record;
  TestFolder folder(L"reopen_previous");
  registrations.RegisterWatch(folder);
  folder.WriteFile(L"a.xlsx", "x");
  const std::string dir = valmora::ToUtf8(folder.Path());
  const std::string lastSession = "12/5/2026 14:07\r\n" + dir + "\\a.xlsx\r\n";
  folder.WriteFile(L"Valmora.txt", lastSession);
  Process valmora(folder.Exe(), L"/watch=30");  // no tick to decide before the test has looked
  HWND question = valmora.WaitForMessageSaying(valmora::kStartupQuestion);
  ASSERT_NE(question, nullptr);
  PressDialogButton(question, msgbox::kCmdNo);
  ASSERT_TRUE(WaitUntil([&] { return !ReadBytes(folder.Log()).starts_with("12/5/2026"); }, 30s)) << "no scan";
  EXPECT_EQ(ReadBytes(folder.Log()).find("a.xlsx"), std::string::npos) << "nothing has it open";
  EXPECT_EQ(ReadBytes(folder.Path() + L"\\Valmora.previous.txt"), lastSession);

  const HWND main = ::FindWindowW(ids::kMainWindowClass, nullptr);
  ASSERT_NE(main, nullptr);
  ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(ids::kMnuFileReopenPrevious, 0), 0);
  EXPECT_EQ(record.WaitFor(1), (std::vector<ShellRequest>{{folder.Path() + L"\\a.xlsx", ShowCommand(SW_SHOWMAXIMIZED)}}));
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(folder.Log()).find(dir + "\\a.xlsx\r\n") != std::string::npos; }, 30s))
      << "the rescan after it keeps what it handed over:\n" << ReadBytes(folder.Log());
  EXPECT_EQ(ReadBytes(folder.Path() + L"\\Valmora.previous.txt"), lastSession) << "one generation a run";
  PressDialogButton(main, ids::kCmdExit);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

// A logon nobody attends: the question answers itself, the reopen meets a
// file that is gone, and its notice waits for its countdown while the ticks
// keep the list current.
TEST(ReopenE2E, AnUnattendedLogonWithAMissingFileScansWhileItsNoticeWaits) {
  Registrations registrations;
  ShellRecord record;
  TestFolder folder(L"reopen_unattended");
  registrations.RegisterWatch(folder);
  const std::string dir = valmora::ToUtf8(folder.Path());
  folder.WriteFile(L"here.txt", "x");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\n" + dir + "\\gone.docx\r\n" + dir + "\\here.txt\r\n");
  Process valmora(folder.Exe(), L"/watch=1");
  ASSERT_NE(valmora.WaitForMessageSaying(valmora::kStartupQuestion), nullptr);

  HWND notice = WaitForBoxBeginning(valmora, L"Not everything could be reopened:\r\n\r\nFile " + folder.Path() +
                                                 L"\\gone.docx not found", 60s);
  ASSERT_NE(notice, nullptr) << "the reopen's warning waits for a click";
  Screenshot(notice, L"reopen_unattended_notice");
  ASSERT_TRUE(WaitUntil([&] { return !ReadBytes(folder.Log()).starts_with("12/5/2026"); }, 30s)) << "no scan ran";
  const ULONGLONG scanned = LastWrite(folder.Log());
  EXPECT_TRUE(WaitUntil([&] { return LastWrite(folder.Log()) != scanned; }, 30s)) << "no tick followed";
  EXPECT_TRUE(::IsWindow(notice)) << "all while the notice waited";
  EXPECT_NE(ReadBytes(folder.Log()).find(dir + "\\here.txt\r\n"), std::string::npos) << ReadBytes(folder.Log());
  PressDialogButton(notice, msgbox::kCmdOk);
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass, 1s);
  if (!main) main = ::FindWindowW(ids::kMainWindowClass, nullptr);
  ASSERT_NE(main, nullptr);
  PressDialogButton(main, ids::kCmdExit);
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
}

}  // namespace
}  // namespace e2e
