// The input box, the open-file dialog, process start and frmAbout on screen,
// each through its real Windows implementation in dialogs_probe.exe.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "harness.h"
#include "library/utf.h"
#include "mainwindow/commands.h"
#include "mainwindow/input_box_ids.h"
#include "msgbox/about_ids.h"
#include "msgbox/file_version_win32.h"

namespace e2e {
namespace {

namespace input = valmora::input_box_ids;
namespace about = valmora::about_ids;

void Type(HWND window, const std::wstring& text) {
  HWND target = FocusOf(window);
  for (wchar_t c : text) ::PostMessageW(target, WM_CHAR, c, 1);
  std::this_thread::sleep_for(300ms);
}

void AltKey(HWND window, wchar_t key) {
  ::PostMessageW(FocusOf(window), WM_SYSCHAR, key, 0x20000001);
  std::this_thread::sleep_for(300ms);
}

// Every control lies inside the client area, at least as tall as the font's text.
void ExpectNothingClipped(HWND window, std::initializer_list<int> ids) {
  RECT client;
  ::GetClientRect(window, &client);
  for (int id : ids) {
    HWND control = ::GetDlgItem(window, id);
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_GE(rect.left, client.left) << id;
    EXPECT_GE(rect.top, client.top) << id;
    EXPECT_LE(rect.right, client.right) << id;
    EXPECT_LE(rect.bottom, client.bottom) << id;
    EXPECT_GT(rect.bottom - rect.top, 0) << id;
  }
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// Beside the message box probe, where the build puts it (VALMORA_DIALOGS_PROBE
// names another).
std::wstring DialogsProbeExe() {
  const std::wstring named = EnvOr(L"VALMORA_DIALOGS_PROBE", L"");
  if (!named.empty()) return named;
  const std::wstring msgboxProbe = EnvOr(L"VALMORA_PROBE", L"");
  return msgboxProbe.substr(0, msgboxProbe.find_last_of(L'\\') + 1) + L"dialogs_probe.exe";
}

// One probe run in a folder of its own; what it returned lands in Out().
class Probe {
 public:
  Probe(const std::wstring& name, const std::wstring& command, const std::wstring& arguments = L"")
      : folder_(name), out_(folder_.Path() + L"\\out.txt") {
    process_ = std::make_unique<Process>(DialogsProbeExe(),
                                         command + L" " + Quoted(out_) + (arguments.empty() ? L"" : L" " + arguments));
  }
  const TestFolder& Folder() const { return folder_; }
  HWND Window(const wchar_t* className) const { return Ready(process_->WaitForWindow(className)); }
  // The next box of a run that shows several, once the one before has gone.
  HWND NextWindow(const wchar_t* className, HWND previous) const {
    return Ready(process_->WaitForNewWindow(className, previous));
  }
  DWORD WaitForExit() { return process_->WaitForExit(30s); }
  std::wstring Out() const { return valmora::FromUtf8(ReadBytes(out_)); }

 private:
  TestFolder folder_;
  std::wstring out_;
  std::unique_ptr<Process> process_;
};

// ---- the input box

std::wstring Selection(HWND edit) {
  const DWORD both = static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0));  // no pointers across processes
  return std::to_wstring(LOWORD(both)) + L"-" + std::to_wstring(HIWORD(both));
}

void ExpectInputBoxLaidOut(HWND box, DWORD dpi) {
  RECT client;
  ::GetClientRect(box, &client);
  EXPECT_EQ(client.right, ::MulDiv(6120, static_cast<int>(dpi), 1440));
  ExpectNothingClipped(box, {input::kLblPrompt, input::kTxtInput, input::kCmdOk, input::kCmdCancel});
  Screenshot(box, L"inputbox_" + std::to_wstring(dpi) + L"dpi");
}

TEST(DialogsE2E, InputBoxIsPrefilledSelectedAndReturnsWhatIsTypedOrALongLineWhole) {
  std::wstring longLine = L"C:\\Tools\\run.exe";
  for (int i = 0; i < 40; ++i) longLine += L" --argument-" + std::to_wstring(i);
  Probe probe(L"input_typed", L"inputbox", L"Command " + Quoted(longLine) + L" 2");
  HWND box = probe.NextWindow(input::kWindowClass, nullptr);
  ASSERT_NE(box, nullptr);
  HWND edit = ::GetDlgItem(box, input::kTxtInput);
  EXPECT_EQ(Text(box), L"Valmora");
  EXPECT_EQ(Text(::GetDlgItem(box, input::kLblPrompt)), L"Command");
  EXPECT_EQ(Text(edit), longLine);
  EXPECT_EQ(FocusOf(box), edit);
  EXPECT_EQ(Selection(edit), L"0-" + std::to_wstring(longLine.size()));  // typing replaces the default
  EXPECT_TRUE(::GetWindowLongW(edit, GWL_STYLE) & ES_AUTOHSCROLL);
  ExpectInputBoxLaidOut(box, 96);
  Type(box, L"  n\u00e9w \u65b0.exe ");
  Key(box, VK_RETURN);

  box = probe.NextWindow(input::kWindowClass, box);
  ASSERT_NE(box, nullptr);
  AltKey(box, L'o');  // the OK button's access key
  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Out(), L"  n\u00e9w \u65b0.exe \n" + longLine + L"\n");  // as entered, blanks and all
}

TEST(DialogsE2E, InputBoxCancelledAnyWayReturnsNothing) {
  enum class Way { Esc, CancelButton, CloseBox, TabToCancelAndEnter, AltC };
  const Way ways[] = {Way::Esc, Way::CancelButton, Way::CloseBox, Way::TabToCancelAndEnter, Way::AltC};
  Probe probe(L"input_cancel", L"inputbox", L"Command \"keep.exe\" 5");
  HWND box = nullptr;
  for (Way way : ways) {
    SCOPED_TRACE(static_cast<int>(way));
    box = probe.NextWindow(input::kWindowClass, box);
    ASSERT_NE(box, nullptr);
    switch (way) {
      case Way::Esc: Key(box, VK_ESCAPE); break;
      case Way::CancelButton: Press(::GetDlgItem(box, input::kCmdCancel)); break;
      case Way::CloseBox: ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); break;
      case Way::TabToCancelAndEnter:
        Key(box, VK_TAB);
        EXPECT_EQ(FocusOf(box), ::GetDlgItem(box, input::kCmdOk));
        Key(box, VK_TAB);
        EXPECT_EQ(FocusOf(box), ::GetDlgItem(box, input::kCmdCancel));
        Key(box, VK_RETURN);
        break;
      case Way::AltC: AltKey(box, L'c'); break;
    }
  }
  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Out(), L"\n\n\n\n\n");
}

TEST(DialogsE2E, InputBoxLaidOutAt144Dpi) {
  Dpi setting(144);
  Probe probe(L"input_dpi", L"inputbox", L"Command \"C:\\Scripts\\nightly backup.cmd\"");
  HWND box = probe.Window(input::kWindowClass);
  ASSERT_NE(box, nullptr);
  ExpectInputBoxLaidOut(box, 144);
  Press(::GetDlgItem(box, input::kCmdOk));
  EXPECT_EQ(probe.WaitForExit(), 0u);
}

// ---- the open-file dialog

// The next open-file dialog of the run, once the one before has gone.
HWND FileDialog(const Probe& probe, HWND previous) {
  for (int i = 0; i < 200; ++i) {
    HWND dialog = probe.NextWindow(L"#32770", previous);
    if (dialog && Text(dialog) == valmora::kManualAddTitle) return dialog;
    std::this_thread::sleep_for(50ms);
  }
  return nullptr;
}

// A file whose full path is `length` characters long, made with \\?\ since
// the path is longer than the old limits.
std::wstring CreateFileWithPathOf(const std::wstring& base, std::size_t length) {
  std::wstring folder = base;
  const std::wstring name = L"\\a folder with a rather long name ";
  for (int i = 0; folder.size() + name.size() + 3 + 10 < length; ++i) {
    folder += name + std::to_wstring(i);
    if (!::CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr)) ADD_FAILURE() << ::GetLastError();
  }
  std::wstring file = folder + L"\\";
  file += std::wstring(length - file.size() - 4, L'f') + L".txt";
  HANDLE handle = ::CreateFileW((L"\\\\?\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) ADD_FAILURE() << ::GetLastError();
  ::CloseHandle(handle);
  return file;
}

// Three dialogs in one run: a file with a Unicode name; a path longer than
// the 256 characters the old dialog buffer held (Wine's own dialog overflows
// a MAX_PATH buffer of its own at 260, so the path stays below that); Cancel.
TEST(DialogsE2E, OpenFileDialogReturnsTheChosenFileOfAnyLengthOrNothing) {
  Probe probe(L"open_file", L"openfile", L"3");
  const std::wstring file = probe.Folder().Path() + L"\\notes \u00e9\u65b0.txt";
  probe.Folder().WriteFile(L"notes \u00e9\u65b0.txt", "hello");
  const std::wstring longFile = CreateFileWithPathOf(probe.Folder().Path(), 258);
  ASSERT_EQ(longFile.size(), 258u);

  HWND dialog = FileDialog(probe, nullptr);
  ASSERT_NE(dialog, nullptr);
  ChooseInFileDialog(dialog, file);
  dialog = FileDialog(probe, dialog);
  ASSERT_NE(dialog, nullptr);
  ChooseInFileDialog(dialog, longFile);
  dialog = FileDialog(probe, dialog);
  ASSERT_NE(dialog, nullptr);
  Screenshot(dialog, L"openfile_dialog");
  PressDialogButton(dialog, IDCANCEL);
  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Out(), file + L"\n" + longFile + L"\n\n");
}

// ---- process start

TEST(DialogsE2E, StartsAProgramMinimisedOrSaysWhyNot) {
  const std::wstring probeExe = DialogsProbeExe();
  TestFolder folder(L"start_state");
  const std::wstring state = folder.Path() + L"\\state.txt";
  const std::wstring started = Quoted(probeExe) + L" showstate " + Quoted(state);
  {
    SCOPED_TRACE("an existing program, its arguments as given, blanks around the line");
    Probe probe(L"start_ok", L"start", Quoted(L"  " + started + L" "));
    EXPECT_EQ(probe.WaitForExit(), 0u);
    EXPECT_EQ(probe.Out(), L"started");
    for (int i = 0; i < 100 && ReadBytes(state).empty(); ++i) std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ReadBytes(state), std::to_string(SW_SHOWMINIMIZED));
  }
  {
    SCOPED_TRACE("a program that does not exist");
    Probe probe(L"start_missing", L"start", Quoted(L"C:\\no such folder\\nothing.exe /a"));
    EXPECT_EQ(probe.WaitForExit(), 0u);
    const std::wstring out = probe.Out();
    EXPECT_EQ(out.rfind(L"failed: ", 0), 0u) << valmora::ToUtf8(out);
    EXPECT_GT(out.size(), 8u);
    EXPECT_NE(out.back(), L'\n');
    EXPECT_NE(out.back(), L'\r');
  }
}

// ---- frmAbout

void ExpectAboutBoxLaidOut(HWND box, DWORD dpi) {
  RECT client;
  ::GetClientRect(box, &client);
  EXPECT_EQ(client.right, ::MulDiv(5250, static_cast<int>(dpi), 1440));
  EXPECT_EQ(client.bottom, ::MulDiv(3375, static_cast<int>(dpi), 1440));
  ExpectNothingClipped(box, {about::kImgIcon, about::kLblVersion, about::kLblCopyright, about::kLabel1,
                             about::kHlkHome, about::kLabel2, about::kHlkEmail, about::kCmdOk});
  Screenshot(box, L"about_" + std::to_wstring(dpi) + L"dpi");
}

TEST(DialogsE2E, AboutBoxShowsTheProgramAndOpensItsLinks) {
  Probe probe(L"about_links", L"about");
  HWND box = probe.Window(about::kWindowClass);
  ASSERT_NE(box, nullptr);
  auto item = [box](int id) { return ::GetDlgItem(box, id); };
  EXPECT_EQ(Text(box), L"About Valmora");
  EXPECT_EQ(Text(item(about::kLblVersion)), L"Valmora  v1.16");
  EXPECT_NE(Text(item(about::kLblCopyright)).find(L"Corvellan"), std::wstring::npos);
  EXPECT_EQ(Text(item(about::kLabel1)), L"Web:");
  EXPECT_EQ(Text(item(about::kLabel2)), L"Email:");
  EXPECT_NE(Text(item(about::kHlkHome)).find(L"www.corvellan.example"), std::wstring::npos);
  EXPECT_NE(Text(item(about::kHlkEmail)).find(L"support@corvellan.example"), std::wstring::npos);
  EXPECT_EQ(Text(item(about::kCmdOk)), L"&Ok");
  EXPECT_NE(::SendMessageW(item(about::kImgIcon), STM_GETICON, 0, 0), 0);
  EXPECT_EQ(FocusOf(box), item(about::kCmdOk));
  ExpectAboutBoxLaidOut(box, 96);

  ClickLink(item(about::kHlkHome));
  EXPECT_EQ(::GetDlgCtrlID(FocusOf(box)), about::kHlkHome);  // a click takes the focus
  Key(box, VK_TAB);
  EXPECT_EQ(::GetDlgCtrlID(FocusOf(box)), about::kHlkEmail);
  Key(box, VK_RETURN);
  ASSERT_TRUE(::IsWindow(box));  // a link leaves the box up
  Press(item(about::kCmdOk));
  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Out(),
            L"http://www.corvellan.example\n"
            L"mailto:support@corvellan.example?Subject=Valmora%20Enquiry\n"
            L"closed\n");
}

TEST(DialogsE2E, AboutBoxClosesWithEscTheCloseBoxAndItsAccessKey) {
  Probe probe(L"about_close", L"about", L"3");
  HWND box = probe.NextWindow(about::kWindowClass, nullptr);
  ASSERT_NE(box, nullptr);
  Key(box, VK_ESCAPE);
  box = probe.NextWindow(about::kWindowClass, box);
  ASSERT_NE(box, nullptr);
  ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
  box = probe.NextWindow(about::kWindowClass, box);
  ASSERT_NE(box, nullptr);
  AltKey(box, L'o');
  EXPECT_EQ(probe.WaitForExit(), 0u);
  EXPECT_EQ(probe.Out(), L"closed\nclosed\nclosed\n");  // and nothing opened
}

TEST(DialogsE2E, AboutBoxLaidOutAt144Dpi) {
  Dpi setting(144);
  Probe probe(L"about_dpi", L"about");
  HWND box = probe.Window(about::kWindowClass);
  ASSERT_NE(box, nullptr);
  ExpectAboutBoxLaidOut(box, 144);
  Press(::GetDlgItem(box, about::kCmdOk));
  EXPECT_EQ(probe.WaitForExit(), 0u);
}

TEST(DialogsE2E, ValmoraExeStatesItsVersion) {
  EXPECT_EQ(valmora::FileVersionText(EnvOr(L"VALMORA_EXE", L"")), L"1.16");
  EXPECT_EQ(valmora::FileVersionText(L"C:\\no such file.exe"), L"");
}

}  // namespace
}  // namespace e2e
