// The timed message box on screen, through msgbox_probe.exe and Valmora.exe.
#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

#include "harness.h"
#include "shell_record.h"
#include "library/registry.h"
#include "library/registry_win32.h"
#include "msgbox/msgbox_ids.h"
#include "msgbox/msgbox_request.h"
#include "msgbox/msgbox_window_win32.h"
#include "startup/startup.h"
#include "watch/logon.h"

namespace e2e {
namespace {

namespace ids = valmora::msgbox_ids;

// One probe run: its requests, its answers file, the box it shows.
class Probe {
 public:
  Probe(const std::wstring& name, const std::vector<std::wstring>& requests)
      : folder_(name), answers_(folder_.Path() + L"\\answers.txt") {
    std::wstring arguments = L"\"" + answers_ + L"\"";
    for (const auto& request : requests) arguments += L" \"" + request + L"\"";
    process_ = std::make_unique<Process>(EnvOr(L"VALMORA_PROBE", L""), arguments);
  }
  HWND Box() const { return Ready(process_->WaitForWindow(ids::kWindowClass)); }
  // The next box whose message is `text`, once the one before has gone.
  HWND BoxSaying(const std::wstring& text) const { return process_->WaitForMessageSaying(text); }
  DWORD WaitForExit() { return process_->WaitForExit(30s); }
  std::string Answers() const { return ReadBytes(answers_); }

 private:
  TestFolder folder_;
  std::wstring answers_;
  std::unique_ptr<Process> process_;
};

HWND Control(HWND box, int id) { return ::GetDlgItem(box, id); }
bool Shown(HWND box, int id) { return ::IsWindowVisible(Control(box, id)) != FALSE; }

int CountdownShown(HWND box) { return _wtoi(Text(Control(box, ids::kLblCountDown)).c_str()); }

TEST(MsgBoxE2E, QuestionCountsDownAndAnswersItsDefault) {
  Probe probe(L"msgbox_yes", {L"4   5Reopen previously open MS Office documents/items?"});
  HWND box = probe.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Text(box), L"Valmora");  // the title of the program's own window
  EXPECT_TRUE(Shown(box, ids::kPicIcon));
  EXPECT_NE(::SendMessageW(Control(box, ids::kPicIcon), STM_GETICON, 0, 0), 0);
  EXPECT_TRUE(Shown(box, ids::kCmdYes));
  EXPECT_TRUE(Shown(box, ids::kCmdNo));
  EXPECT_FALSE(Shown(box, ids::kCmdOk));
  EXPECT_TRUE(Shown(box, ids::kCmdPrint));
  EXPECT_EQ(FocusOf(box), Control(box, ids::kCmdYes));
  EXPECT_TRUE(Shown(box, ids::kLblCountDown));
  const int first = CountdownShown(box);
  EXPECT_GE(first, 3);
  EXPECT_LE(first, 5);
  Screenshot(box, L"msgbox_question_96dpi");
  std::this_thread::sleep_for(1500ms);
  EXPECT_LT(CountdownShown(box), first);

  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Answers(), "1 Yes\n");
}

TEST(MsgBoxE2E, ButtonsAnswerAndANoticeWithoutCountdownWaits) {
  {
    Probe probe(L"msgbox_no", {L"5  10Clear the stored command?"});
    HWND box = probe.Box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(FocusOf(box), Control(box, ids::kCmdNo));
    PressDialogButton(box, ids::kCmdNo);
    EXPECT_EQ(probe.WaitForExit(), 0u);
    EXPECT_EQ(probe.Answers(), "1 No\n");
  }
  Probe probe(L"msgbox_ok", {L"2   0File C:\\Data\\Plan.xlsx not found"});
  HWND box = probe.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(Shown(box, ids::kCmdOk));
  EXPECT_FALSE(Shown(box, ids::kCmdYes));
  EXPECT_FALSE(Shown(box, ids::kLblCountDown));
  Screenshot(box, L"msgbox_warning");
  PressDialogButton(box, ids::kCmdPrint);  // no printer here: nothing happens, the box stays
  std::this_thread::sleep_for(2s);
  ASSERT_TRUE(::IsWindow(box));  // no countdown: it waits
  PressDialogButton(box, ids::kCmdOk);
  EXPECT_EQ(probe.WaitForExit(), 0u);
}

TEST(MsgBoxE2E, EscStopsTheCountdownFromAnyControl) {
  Probe probe(L"msgbox_esc", {L"4   3Stop me"});
  HWND box = probe.Box();
  ASSERT_NE(box, nullptr);
  Key(box, VK_ESCAPE);
  EXPECT_FALSE(Shown(box, ids::kLblCountDown));
  std::this_thread::sleep_for(4s);
  ASSERT_TRUE(::IsWindow(box));
  PressDialogButton(box, ids::kCmdNo);
  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Answers(), "1 No\n");
}

TEST(MsgBoxE2E, TabEnterAndAccessKeysWork) {
  {
    Probe probe(L"msgbox_tab", {L"4   0Keys?"});
    HWND box = probe.Box();
    ASSERT_NE(box, nullptr);
    Key(box, VK_TAB);
    EXPECT_EQ(FocusOf(box), Control(box, ids::kCmdNo));
    Key(box, VK_RETURN);
    EXPECT_EQ(probe.WaitForExit(), 0u);
    EXPECT_EQ(probe.Answers(), "1 No\n");
  }
  Probe probe(L"msgbox_access", {L"5   0Keys?"});
  HWND box = probe.Box();
  ASSERT_NE(box, nullptr);
  Key(box, 'Y');
  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Answers(), "1 Yes\n");
}

// Enter presses the focused button, and on Print that prints: only an
// answer button answers. No printer here, so the box just stays up.
TEST(MsgBoxE2E, EnterOnPrintPrintsAndLeavesTheQuestionOpen) {
  Probe probe(L"msgbox_enter_print", {L"4   0Reopen previously open MS Office documents/items?"});
  HWND box = probe.Box();
  ASSERT_NE(box, nullptr);
  Press(Control(box, ids::kCmdPrint));  // a click leaves the focus on it
  ASSERT_EQ(FocusOf(box), Control(box, ids::kCmdPrint));
  // What Enter will press is shown on the focused button.
  EXPECT_TRUE(::SendMessageW(Control(box, ids::kCmdPrint), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  EXPECT_FALSE(::SendMessageW(Control(box, ids::kCmdYes), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  Key(box, VK_RETURN);
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(::IsWindow(box));
  EXPECT_EQ(probe.Answers(), "");
  PressDialogButton(box, ids::kCmdNo);
  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Answers(), "1 No\n");
}

TEST(MsgBoxE2E, RequestsMadeWhileOneIsUpFollowInOrder) {
  // B and C are asked from timer ticks while A is up.
  Probe probe(L"msgbox_queue", {L"4   0A?", L"4   0B?", L"5   0C?"});
  HWND a = probe.BoxSaying(L"A?");
  ASSERT_NE(a, nullptr);
  std::this_thread::sleep_for(2s);
  PressDialogButton(a, ids::kCmdNo);
  HWND b = probe.BoxSaying(L"B?");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(FocusOf(b), Control(b, ids::kCmdYes));  // its own default, not A's answer
  PressDialogButton(b, ids::kCmdYes);
  HWND c = probe.BoxSaying(L"C?");
  ASSERT_NE(c, nullptr);
  PressDialogButton(c, ids::kCmdNo);
  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Answers(), "3 No\n2 Yes\n1 No\n");  // the innermost call returns first
}

TEST(MsgBoxE2E, NamesWithAtSignsAreShownAsTheyAre) {
  const std::wstring names = valmora::Verbatim(L"Plan@2026.xlsx") + L"\r\n" + valmora::Verbatim(L"Book@1") + L"\r\n";
  Probe probe(L"msgbox_verbatim", {L"3   0New:\r\n" + names});
  HWND box = probe.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Text(Control(box, ids::kTxtMessage)), L"New:\r\nPlan@2026.xlsx\r\nBook@1\r\n");
  PressDialogButton(box, ids::kCmdOk);
  EXPECT_EQ(probe.WaitForExit(), 0u);
}

TEST(MsgBoxE2E, AVeryLongMessageStaysInTheWorkAreaAndScrolls) {
  std::wstring text = L"3   0";
  for (int i = 1; i <= 400; ++i) text += L"Line " + std::to_wstring(i) + L" of a long list@";
  Probe probe(L"msgbox_long", {text});
  HWND box = probe.Box();
  ASSERT_NE(box, nullptr);
  RECT work, rect;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::GetWindowRect(box, &rect);
  EXPECT_GE(rect.top, work.top);
  EXPECT_LE(rect.bottom, work.bottom);
  EXPECT_TRUE(::GetWindowLongW(Control(box, ids::kTxtMessage), GWL_STYLE) & WS_VSCROLL);
  RECT ok;
  ::GetWindowRect(Control(box, ids::kCmdOk), &ok);
  EXPECT_LE(ok.bottom, rect.bottom);  // the button is on screen, below the text
  Screenshot(box, L"msgbox_long");
  PressDialogButton(box, ids::kCmdOk);
  EXPECT_EQ(probe.WaitForExit(), 0u);
}

TEST(MsgBoxE2E, LaidOutAtTheDpiOfItsMonitor) {
  Dpi dpi(144);
  Probe probe(L"msgbox_144", {L"5   0Documents flagged as unsaved:\r\n\r\nBudget.xlsx\r\nPlan.xlsx\r\n"});
  HWND box = probe.Box();
  ASSERT_NE(box, nullptr);
  RECT client;
  ::GetClientRect(box, &client);
  EXPECT_EQ(client.right, ::MulDiv(7155, 144, 1440));
  RECT text, yes;
  ::GetWindowRect(Control(box, ids::kTxtMessage), &text);
  ::GetWindowRect(Control(box, ids::kCmdYes), &yes);
  EXPECT_LE(text.bottom, yes.top);  // the buttons sit below the text, not over it
  Screenshot(box, L"msgbox_question_144dpi");
  PressDialogButton(box, ids::kCmdNo);
  EXPECT_EQ(probe.WaitForExit(), 0u);
}

// Dragged onto a monitor of another DPI, the box takes the place Windows
// suggests, sized for the new DPI, and its controls keep a live font. Shown
// in the driver's own process: Wine reads no other process's font handle.
struct DpiMove {
  RECT suggested{40, 30, 640, 430};
  RECT before{}, window{}, client{};
  std::vector<int> deadFonts;
  bool iconShown = false;
};
DpiMove dpiMove;

void CALLBACK AnswerTheMovedBox(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  HWND box = ::FindWindowW(ids::kWindowClass, nullptr);
  Screenshot(box, L"msgbox_moved_to_144dpi");
  PressDialogButton(box, ids::kCmdNo);
}

void CALLBACK MoveBoxToAnotherDpi(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  HWND box = ::FindWindowW(ids::kWindowClass, nullptr);
  if (!box) return;
  ::GetClientRect(box, &dpiMove.before);
  ::SendMessageW(box, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&dpiMove.suggested));
  ::GetWindowRect(box, &dpiMove.window);
  ::GetClientRect(box, &dpiMove.client);
  for (int id : {ids::kTxtMessage, ids::kCmdYes, ids::kCmdNo}) {
    LOGFONTW face{};
    const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(Control(box, id), WM_GETFONT, 0, 0));
    if (::GetObjectW(font, sizeof face, &face) != sizeof face) dpiMove.deadFonts.push_back(id);
  }
  dpiMove.iconShown = ::SendMessageW(Control(box, ids::kPicIcon), STM_GETICON, 0, 0) != 0;
  ::SetTimer(nullptr, 0, 500, AnswerTheMovedBox);  // once it has painted itself anew
}

TEST(MsgBoxE2E, MovedToAnotherDpiTakesTheSuggestedPlace) {
  valmora::frmMsgBox box(::GetModuleHandleW(nullptr), nullptr);
  std::optional<bool> answer;
  ASSERT_NE(::SetTimer(nullptr, 0, 300, MoveBoxToAnotherDpi), 0u);
  box.ShowModal(L"5   0Clear the stored command?", false, [&](bool a) { answer = a; });
  ASSERT_EQ(answer, false);  // the No the timer pressed, so the box was shown
  EXPECT_EQ(dpiMove.window.left, dpiMove.suggested.left);
  EXPECT_EQ(dpiMove.window.top, dpiMove.suggested.top);
  EXPECT_EQ(dpiMove.client.right, ::MulDiv(7155, 144, 1440));
  EXPECT_GT(dpiMove.client.bottom, dpiMove.before.bottom);
  EXPECT_EQ(dpiMove.deadFonts, std::vector<int>{}) << "controls left with a deleted font";
  EXPECT_TRUE(dpiMove.iconShown);
}

TEST(MsgBoxE2E, ReopenRunAsksAndLeftAloneAnswersYes) {
  ShellRecord record;
  TestFolder folder(L"reopen_asks");
  folder.WriteFile(L"a.xlsx", "x");
  folder.WriteFile(L"c.docx", "x");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\valmora-e2e\\reopen_asks\\a.xlsx\r\n"
                                   "C:\\valmora-e2e\\reopen_asks\\c.docx\r\n");
  valmora::Win32RegistryApi api;
  valmora::WriteRegValue(api, L"\"" + folder.Exe() + L"\" /reopen", valmora::kHkeyCurrentUser, valmora::kRunOnceKey,
                         L"Valmora", true);
  Process valmora(folder.Exe(), L"/reopen");
  HWND box = Ready(valmora.WaitForWindow(ids::kWindowClass));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Text(Control(box, ids::kTxtMessage)), L"Reopen previously open MS Office documents/items?");
  EXPECT_EQ(Text(box), L"Valmora");
  EXPECT_EQ(FocusOf(box), Control(box, ids::kCmdYes));
  Screenshot(box, L"reopen_question");
  EXPECT_EQ(valmora.WaitForExit(30s), 0u);
  EXPECT_EQ(valmora::ReadRegValue(api, valmora::kHkeyCurrentUser, valmora::kRunOnceKey, L"Valmora"), L"");
  const std::wstring maximised = ShowCommand(SW_SHOWMAXIMIZED);
  EXPECT_EQ(record.ReadWhenQuiet(), (std::vector<ShellRequest>{{folder.Path() + L"\\a.xlsx", maximised},
                                                               {folder.Path() + L"\\c.docx", maximised}}));
  valmora::DeleteRegEntry(api, valmora::kHkeyCurrentUser, valmora::kRunOnceKey, L"Valmora");  // whatever happened
}

}  // namespace
}  // namespace e2e
