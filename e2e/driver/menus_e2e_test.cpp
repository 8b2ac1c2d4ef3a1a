// The File and Help menus, the external command and the badge of the real
// Valmora.exe, with the shell recorder standing in for other programs.
#include <gtest/gtest.h>

#include <thread>

#include "harness.h"
#include "library/registry.h"
#include "library/registry_win32.h"
#include "mainwindow/commands.h"
#include "mainwindow/control_ids.h"
#include "mainwindow/input_box_ids.h"
#include "msgbox/about_ids.h"
#include "msgbox/msgbox_ids.h"
#include "shell_record.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;
namespace about = valmora::about_ids;
namespace input = valmora::input_box_ids;

constexpr wchar_t kSettingsKey[] = L"Software\\Valmora\\Settings";

// Chosen as a user would: once the last rescan has unlocked the menu.
void Menu(HWND main, int id) { ::PostMessageW(Idle(main), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

void SetText(HWND window, const std::wstring& text) {
  SendBounded(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring StoredCommand() {
  valmora::Win32RegistryApi api;
  return valmora::ReadRegValue(api, valmora::kHkeyCurrentUser, kSettingsKey, L"ExecuteCmd");
}

void StoreCommand(const std::wstring& command) {
  valmora::Win32RegistryApi api;
  valmora::WriteRegValue(api, command, valmora::kHkeyCurrentUser, kSettingsKey, L"ExecuteCmd", true);
}

// The registry's own word on the value: ERROR_FILE_NOT_FOUND once it is
// deleted, where an emptied value would still be found.
LSTATUS QueryCommandValue() {
  HKEY key = nullptr;
  const LSTATUS opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key);
  if (opened != ERROR_SUCCESS) return opened;
  const LSTATUS status = ::RegQueryValueExW(key, L"ExecuteCmd", nullptr, nullptr, nullptr, nullptr);
  ::RegCloseKey(key);
  return status;
}

std::wstring Recorder() { return L"\"" + ShellRecord::RecorderExe() + L"\""; }

class MenusE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    valmora::Win32RegistryApi api;
    valmora::DeleteRegEntry(api, valmora::kHkeyCurrentUser, kSettingsKey, L"ExecuteCmd");
    valmora_ = std::make_unique<Process>(folder_.Exe(), L"");
    main_ = valmora_->WaitForWindow(ids::kMainWindowClass);
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override {
    valmora::Win32RegistryApi api;
    valmora::DeleteRegEntry(api, valmora::kHkeyCurrentUser, kSettingsKey, L"ExecuteCmd");
    if (main_) PressDialogButton(main_, ids::kCmdExit);
    EXPECT_EQ(valmora_->WaitForExit(30s), 0u);
  }
  std::string Log() const { return ReadBytes(folder_.Log()); }
  // "&Execute Cmd" clicked with the mouse, `held` (VK_SHIFT, VK_CONTROL or 0) down.
  void ClickExecuteCmd(WORD held) { ASSERT_TRUE(ClickHolding(::GetDlgItem(main_, ids::kCmdExecuteCmd), held)); }
  // The input box the click opened, once it has the focus.
  HWND CommandBox(HWND seen = nullptr) const { return Ready(valmora_->WaitForNewWindow(input::kWindowClass, seen)); }

  ShellRecord record_;
  TestFolder folder_{L"menus"};
  std::unique_ptr<Process> valmora_;
  HWND main_ = nullptr;
};

TEST_F(MenusE2E, AFileAddedByHandSurvivesTheRescanAnOfficeFileDoesNot) {
  folder_.WriteFile(L"notes.txt", "x");
  folder_.WriteFile(L"report.docx", "x");
  const std::string notes = Narrow(folder_.Path()) + "\\notes.txt\r\n";
  // A date line no rescan writes: its change tells the rescan from the append
  // before it, and the next choice waits for that rescan to be over.
  const std::string oldDateLine = "12/5/2026 14:07\r\n";
  folder_.WriteFile(L"Valmora.txt", oldDateLine);
  HWND dialog = nullptr;
  for (const wchar_t* chosen : {L"notes.txt", L"report.docx", L""}) {
    Menu(main_, ids::kMnuFileManualAdd);
    dialog = valmora_->WaitForNewWindow(L"#32770", dialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog), valmora::kManualAddTitle);
    std::this_thread::sleep_for(500ms);  // let the dialog fill itself before it is typed into
    if (*chosen) {
      ChooseInFileDialog(dialog, folder_.Path() + L"\\" + chosen);
    } else {
      PressDialogButton(dialog, IDCANCEL);  // still rescans
    }
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    // Rescanned every time: the hand-added file stays, once; the Word file
    // chosen by hand is dropped, as it is no hand-added file.
    EXPECT_TRUE(WaitUntil([&] {
      const std::string log = Log();
      const std::size_t first = log.find("\r\n");
      return !log.starts_with(oldDateLine) && first != std::string::npos && log.substr(first + 2) == notes;
    })) << Log();
    Idle(main_);  // the rescan that wrote it is over
    folder_.WriteFile(L"Valmora.txt", oldDateLine + notes);
  }
}

TEST_F(MenusE2E, OpenLogHandsTheLogToTheShellWhenThereIsOne) {
  Menu(main_, ids::kMnuFileOpenLog);
  HWND where = valmora_->WaitForWindow(L"#32770");  // none yet: it says where the log will be
  ASSERT_NE(where, nullptr);
  EXPECT_EQ(MessageBoxText(where), L"No list has been saved yet. It will be kept in\r\n" + folder_.Log());
  PressDialogButton(where, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(where); }));
  EXPECT_TRUE(record_.ReadWhenQuiet().empty());
  folder_.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\n");
  Menu(main_, ids::kMnuFileOpenLog);
  EXPECT_EQ(record_.WaitFor(1), (std::vector<ShellRequest>{{folder_.Log(), ShowCommand(SW_SHOWNORMAL)}}));
}

TEST_F(MenusE2E, TheExternalCommandIsAskedForStoredTrimmedAndStarted) {
  PressDialogButton(main_, ids::kCmdExecuteCmd);
  HWND box = valmora_->WaitForNewWindow(input::kWindowClass);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Text(::GetDlgItem(box, input::kTxtInput)), L"");  // nothing stored yet
  const std::wstring command = L"\"" + ShellRecord::RecorderExe() + L"\" nightly backup";
  SetText(::GetDlgItem(box, input::kTxtInput), L"  " + command + L" ");
  PressDialogButton(box, input::kCmdOk);
  const std::wstring minimised = ShowCommand(SW_SHOWMINIMIZED);
  EXPECT_EQ(record_.WaitFor(1), (std::vector<ShellRequest>{{L"nightly backup ", minimised}}));
  EXPECT_EQ(StoredCommand(), command);

  record_.Clear();
  PressDialogButton(main_, ids::kCmdExecuteCmd);  // stored: runs at once
  EXPECT_EQ(record_.WaitFor(1), (std::vector<ShellRequest>{{L"nightly backup", minimised}}));
}

// The key's state is read as it was at the click: Shift held through it asks
// for the command, Ctrl is no Shift.
TEST_F(MenusE2E, AShiftClickOffersTheStoredCommandToChangeAndAPlainClickRunsTheNewOne) {
  StoreCommand(Recorder() + L" nightly backup");
  ClickExecuteCmd(VK_SHIFT);
  HWND box = CommandBox();
  ASSERT_NE(box, nullptr) << ::testing::PrintToString(record_.ReadWhenQuiet());  // run instead of asked?
  HWND edit = ::GetDlgItem(box, input::kTxtInput);
  EXPECT_EQ(Text(edit), Recorder() + L" nightly backup");
  EXPECT_EQ(FocusOf(box), edit);
  Screenshot(box, L"inputbox_prefilled");
  SetText(edit, L" " + Recorder() + L" weekly  backup  ");
  PressDialogButton(box, input::kCmdOk);
  const std::wstring minimised = ShowCommand(SW_SHOWMINIMIZED);
  record_.WaitFor(1);
  EXPECT_EQ(record_.ReadWhenQuiet(), (std::vector<ShellRequest>{{L"weekly  backup  ", minimised}}));  // as entered
  EXPECT_EQ(StoredCommand(), Recorder() + L" weekly  backup");

  for (WORD held : {WORD{0}, WORD{VK_CONTROL}}) {
    SCOPED_TRACE(held);
    record_.Clear();
    ClickExecuteCmd(held);
    record_.WaitFor(1);
    EXPECT_EQ(record_.ReadWhenQuiet(), (std::vector<ShellRequest>{{L"weekly  backup", minimised}}));
    EXPECT_EQ(valmora_->WaitForWindow(input::kWindowClass, 0ms), nullptr);  // run, not asked
  }
}

TEST_F(MenusE2E, ClearingTheCommandAsksWithNoAsDefaultAndYesDeletesTheValue) {
  const std::wstring command = Recorder() + L" nightly";
  StoreCommand(command);
  HWND box = nullptr, question = nullptr;
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    ClickExecuteCmd(VK_SHIFT);
    box = CommandBox(box);
    ASSERT_NE(box, nullptr);
    SetText(::GetDlgItem(box, input::kTxtInput), yes ? L"" : L"   ");  // blanks alone are no command
    PressDialogButton(box, input::kCmdOk);
    question = Ready(valmora_->WaitForNewWindow(L"#32770", question));
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(Text(question), L"Valmora");
    EXPECT_EQ(MessageBoxText(question), L"Do you want to clear the stored command?");
    EXPECT_EQ(::GetWindowLongW(::GetDlgItem(question, IDNO), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(FocusOf(question), ::GetDlgItem(question, IDNO));
    if (yes) {
      PressDialogButton(question, IDYES);
    } else {
      Key(question, VK_RETURN);  // Enter answers No
    }
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));
    if (!yes) {
      EXPECT_EQ(StoredCommand(), command);
    }
  }
  EXPECT_TRUE(WaitUntil([] { return QueryCommandValue() == ERROR_FILE_NOT_FOUND; })) << QueryCommandValue();

  // Nothing stored now: a plain click asks, and nothing entered asks no more.
  ClickExecuteCmd(0);
  box = CommandBox(box);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Text(::GetDlgItem(box, input::kTxtInput)), L"");
  PressDialogButton(box, input::kCmdCancel);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
  EXPECT_EQ(valmora_->WaitForWindow(L"#32770", 1s), nullptr);
  EXPECT_TRUE(record_.ReadWhenQuiet().empty());  // nothing was run at any point
}

TEST_F(MenusE2E, ACommandThatCannotStartIsReported) {
  valmora::Win32RegistryApi api;
  valmora::WriteRegValue(api, L"C:\\No\\such\\program.exe", valmora::kHkeyCurrentUser, kSettingsKey, L"ExecuteCmd",
                         true);
  PressDialogButton(main_, ids::kCmdExecuteCmd);
  HWND warning = valmora_->WaitForNewWindow(valmora::msgbox_ids::kWindowClass);
  ASSERT_NE(warning, nullptr);
  const std::wstring text = Text(::GetDlgItem(warning, valmora::msgbox_ids::kTxtMessage));
  EXPECT_TRUE(text.starts_with(L"The command could not be started:\r\nC:\\No\\such\\program.exe\r\n")) << text;
  Screenshot(warning, L"command_not_started");
  PressDialogButton(warning, valmora::msgbox_ids::kCmdOk);
}

TEST_F(MenusE2E, AboutHelpAndTheBadge) {
  Menu(main_, ids::kMnuHelpAbout);
  HWND box = valmora_->WaitForNewWindow(about::kWindowClass);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Text(box), L"About Valmora");
  EXPECT_EQ(Text(::GetDlgItem(box, about::kLblVersion)), L"Valmora  v1.16");
  Screenshot(box, L"about_from_valmora");
  PressDialogButton(box, about::kCmdOk);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));

  Menu(main_, ids::kMnuHelpHelp);
  HWND help = valmora_->WaitForNewWindow(L"#32770");
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(MessageBoxText(help).starts_with(L"Commandline:   Valmora  [options]\r\n"));
  PressDialogButton(help, IDOK);

  PressDialogButton(main_, ids::kImgCopyright);
  EXPECT_EQ(record_.WaitFor(1), (std::vector<ShellRequest>{{L"http://www.corvellan.example", ShowCommand(SW_SHOWNORMAL)}}));
}

TEST_F(MenusE2E, TheAboutBoxLinksGoToTheShell) {
  Menu(main_, ids::kMnuHelpAbout);
  HWND box = Ready(valmora_->WaitForNewWindow(about::kWindowClass));
  ASSERT_NE(box, nullptr);
  ClickLink(::GetDlgItem(box, about::kHlkHome));
  Key(box, VK_TAB);
  EXPECT_EQ(::GetDlgCtrlID(FocusOf(box)), about::kHlkEmail);
  Key(box, VK_RETURN);
  const std::wstring normal = ShowCommand(SW_SHOWNORMAL);
  record_.WaitFor(2);
  EXPECT_EQ(record_.ReadWhenQuiet(),
            (std::vector<ShellRequest>{{L"http://www.corvellan.example", normal},
                                       {L"mailto:support@corvellan.example?Subject=Valmora%20Enquiry", normal}}));
  ASSERT_TRUE(::IsWindow(box));  // a link leaves the box up
  PressDialogButton(box, about::kCmdOk);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
}

}  // namespace
}  // namespace e2e
