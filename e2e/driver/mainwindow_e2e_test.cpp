// frmMain on screen: the real Valmora.exe for what another process can see
// (captions, places, states, focus), and the same window created in the
// driver's own process for what only its owner can read (menus, tooltips,
// the commands its clicks send).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"
#include "library/unique_handle_win32.h"
#include "doclog/scan_tally.h"
#include "mainwindow/control_ids.h"
#include "mainwindow/main_menu_win32.h"
#include "mainwindow/main_window_win32.h"
#include "msgbox/msgbox_ids.h"
#include "startup/startup.h"

namespace e2e {
namespace {

namespace ids = valmora::ids;
using valmora::MainCommand;

struct Expected {
  int id;
  const wchar_t* className;
  const wchar_t* caption;  // nullptr: the program's text of the moment
};

// In tab order.
const Expected kControls[] = {
    {ids::kCmdGetCurr, L"Button", L"&Get Curr"},
    {ids::kCmdReopen, L"Button", L"Re&open Now"},
    {ids::kCmdReopenExcelOnly, L"Button", L"E"},
    {ids::kCmdReopenWordOnly, L"Button", L"W"},
    {ids::kCmdReopenPowerPointOnly, L"Button", L"P"},
    {ids::kCmdReopenOutlookOnly, L"Button", L"O"},
    {ids::kCmdReopenNonOffOnly, L"Button", L"N"},
    {ids::kCmdExecuteCmd, L"Button", L"&Execute Cmd"},
    {ids::kCmdExit, L"Button", L"E&xit"},
    {ids::kLblMsg1, L"Static", nullptr},
    {ids::kLblCopyright, L"Static", L""},
    {ids::kLblCopyrightBG, L"Static", L""},
    {ids::kCmdReopenOnRestart, L"Button", L"&Reopen at Lg"},
    {ids::kCmdListUnsavedDocs, L"Button", L"&List  Unsaved"},
    {ids::kCmdWatchMode, L"Button", L"&Watch Mode"},
    {ids::kLblCmdLine, L"Static", L""},
    {ids::kImgCopyright, L"Static", L""},
};

// The label at its fullest, in the core's own words: six lines, the scan's
// at their widest between the log summary's first and last.
std::wstring WidestSummary() {
  valmora::ScanTally most;
  for (valmora::AppTally* app : {&most.excel, &most.word, &most.powerPoint, &most.outlook}) *app = {100, 100, 100, true};
  return L"Open at last check:  12/28/2026 23:59\r\n" + valmora::LongSummary(most) + L"\r\nOther: 100";
}

const std::map<int, std::wstring> kTooltips = {
    {ids::kCmdGetCurr, L"Get list of documents open currently"},
    {ids::kCmdReopen, L"Reopen all documents listed as open on last scan"},
    {ids::kCmdReopenExcelOnly, L"Reopen Excel documents listed as open on last scan"},
    {ids::kCmdReopenWordOnly, L"Reopen Word documents listed as open on last scan"},
    {ids::kCmdReopenPowerPointOnly, L"Reopen PowerPoint presentations listed as open on last scan"},
    {ids::kCmdReopenOutlookOnly, L"Reopen Outlook documents listed as open on last scan"},
    {ids::kCmdReopenNonOffOnly, L"Reopen non-office documents listed (added manually)"},
    {ids::kCmdExecuteCmd,
     L"Execute an external command (use to run a script etc). Shift-click to set command."},
    {ids::kCmdReopenOnRestart,
     L"Start this program next time user logs on - reopen documents listed as open on last scan, then exit"},
    {ids::kCmdListUnsavedDocs, L"List documents flagged as unsaved"},
    {ids::kCmdWatchMode,
     L"Start this program every time user logs on - start in Watch mode (program sits in the system tray "
     L"monitoring open documents, and reopens them after a restart)"},
};

// The strip and the badge lie on one another by design.
bool OnTheStrip(int id) { return id == ids::kLblCopyright || id == ids::kLblCopyrightBG || id == ids::kImgCopyright; }

RECT ClientRectOf(HWND main, int id) {
  RECT rect{};
  ::GetWindowRect(::GetDlgItem(main, id), &rect);
  ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// A tooltip control of this process's thread or another's, owned by `owner`.
HWND TooltipsOf(HWND owner) {
  struct Search {
    HWND owner;
    HWND found;
  } search{owner, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM lParam) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lParam);
        if (::GetWindow(window, GW_OWNER) == s->owner && ClassOf(window) == TOOLTIPS_CLASSW) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The user's message font at that DPI: the one the window shows its texts in.
LOGFONTW MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
  return metrics.lfMessageFont;
}

HFONT OwnFont(HWND control) { return reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)); }

// Every text of the window whole in its control, measured in the font
// `fontOf` gives for the control; no control on another; all of them inside
// a client area no smaller than the design.
void ExpectWholeAndApart(HWND main, UINT dpi, const std::function<HFONT(HWND)>& fontOf) {
  auto px = [dpi](long twips) { return ::MulDiv(twips, static_cast<int>(dpi), 1440); };
  RECT client{};
  ::GetClientRect(main, &client);
  EXPECT_GE(client.right, px(5835));
  EXPECT_GE(client.bottom, px(2895));
  HDC dc = ::GetDC(main);
  const int margin = 2 * ::GetSystemMetricsForDpi(SM_CXEDGE, dpi);
  for (const Expected& e : kControls) {
    SCOPED_TRACE(::testing::Message() << "control " << e.id);
    HWND control = ::GetDlgItem(main, e.id);
    ASSERT_NE(control, nullptr);
    const RECT r = ClientRectOf(main, e.id);
    if (!OnTheStrip(e.id)) {
      EXPECT_GE(r.left, 0);
    }
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, client.bottom);
    for (const Expected& other : kControls) {
      if (other.id == e.id || (OnTheStrip(e.id) && OnTheStrip(other.id))) continue;
      RECT overlap{}, b = ClientRectOf(main, other.id);
      EXPECT_FALSE(::IntersectRect(&overlap, &r, &b)) << "overlaps control " << other.id;
    }

    HGDIOBJ old = ::SelectObject(dc, fontOf(control));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const std::wstring text = Text(control);
    if (ClassOf(control) == L"Button") {
      RECT need{};
      ::DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE);
      EXPECT_LE(need.right, r.right - r.left - 2 * margin) << "caption too wide: " << text;
      EXPECT_LE(need.bottom, r.bottom - r.top - 2 * margin) << "caption too high: " << text;
    } else if ((e.id == ids::kLblMsg1 || e.id == ids::kLblCmdLine) && !text.empty()) {
      // As the label draws it: a line too wide for it would break in two.
      RECT need{0, 0, r.right - r.left, 0};
      ::DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
      const auto lines = std::count(text.begin(), text.end(), L'\n') + 1;
      EXPECT_EQ(need.bottom, lines * metrics.tmHeight) << "a line breaks in two: " << text;
      EXPECT_LE(need.bottom, r.bottom - r.top) << "lines are cut off: " << text;
    }
    ::SelectObject(dc, old);
  }
  ::ReleaseDC(main, dc);
}

// Each tip's place for a disabled button is the button's place now.
void ExpectTipsOnTheirButtons(HWND main) {
  HWND tips = TooltipsOf(main);
  ASSERT_NE(tips, nullptr);
  const int count = static_cast<int>(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    ASSERT_TRUE(::SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
    if (tool.uFlags & TTF_IDISHWND) continue;
    const RECT place = ClientRectOf(main, static_cast<int>(tool.uId));
    EXPECT_TRUE(::EqualRect(&tool.rect, &place)) << "the tip's place is not control " << tool.uId << "'s";
  }
}

class MainWindowAtDpi : public ::testing::TestWithParam<UINT> {};

// The program as started at that DPI, in the message font at its full size
// (the driver's own copy of it, as fonts do not cross processes).
TEST_P(MainWindowAtDpi, ShowsEveryControlWholeAndApartInTheMessageFont) {
  const UINT dpi = GetParam();
  Dpi setting(dpi);
  TestFolder folder(L"layout" + std::to_wstring(dpi));
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Data\\a.xlsx\r\nC:\\Data\\c.docx\r\n"
                                   "PowerPoint:C:\\Data\\Q4.pptx\r\nOutlook:00AB'05/12/26 Lunch\r\n"
                                   "C:\\Data\\notes.txt\r\n\r\n");
  Process valmora(folder.Exe(), L"");
  HWND main = valmora.WaitForWindow(ids::kMainWindowClass);
  ASSERT_NE(main, nullptr);

  EXPECT_EQ(Text(main), L"Valmora");
  const LONG style = ::GetWindowLongW(main, GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_TRUE(style & WS_SYSMENU);
  RECT client{}, frame{};
  ::GetClientRect(main, &client);
  ::GetWindowRect(main, &frame);
  // The menu bar sits above the client area, on one line.
  RECT withMenu{0, 0, client.right, client.bottom};
  ::AdjustWindowRectExForDpi(&withMenu, static_cast<DWORD>(style), TRUE, 0, dpi);
  EXPECT_EQ(frame.bottom - frame.top, withMenu.bottom - withMenu.top);

  for (const Expected& e : kControls) {
    SCOPED_TRACE(::testing::Message() << "control " << e.id);
    HWND control = ::GetDlgItem(main, e.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), e.className);
    if (e.caption) {
      EXPECT_EQ(Text(control), e.caption);
    }
    EXPECT_EQ(::IsWindowEnabled(control) != FALSE, e.id != ids::kCmdListUnsavedDocs);
  }
  HWND label = ::GetDlgItem(main, ids::kLblMsg1);
  EXPECT_EQ(Text(label), L"Open at last check:  12/5/2026 14:07\r\nExcel: 1\r\nWord: 1\r\nPowerPoint: 1\r\nOutlook: 1\r\n"
                         L"Other: 1");
  EXPECT_FALSE(IsPressed(::GetDlgItem(main, ids::kCmdWatchMode)));
  EXPECT_FALSE(IsPressed(::GetDlgItem(main, ids::kCmdReopenOnRestart)));
  HWND tips = TooltipsOf(main);
  ASSERT_NE(tips, nullptr);
  // Each tip twice: on the button, and on its place in the window for when it is disabled.
  EXPECT_EQ(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), static_cast<LRESULT>(2 * kTooltips.size()));

  // The reopen buttons of one kind side by side, in the summary's order, alike.
  const int apps[] = {ids::kCmdReopenExcelOnly, ids::kCmdReopenWordOnly, ids::kCmdReopenPowerPointOnly,
                      ids::kCmdReopenOutlookOnly, ids::kCmdReopenNonOffOnly, ids::kCmdExecuteCmd};
  for (std::size_t i = 1; i < std::size(apps); ++i) {
    const RECT before = ClientRectOf(main, apps[i - 1]), r = ClientRectOf(main, apps[i]);
    EXPECT_LT(before.right, r.left) << apps[i];
    EXPECT_EQ(r.top, before.top) << apps[i];
    if (apps[i] != ids::kCmdExecuteCmd) {
      EXPECT_EQ(r.right - r.left, before.right - before.left) << apps[i];
      EXPECT_EQ(r.bottom - r.top, before.bottom - before.top) << apps[i];
    }
  }

  LOGFONTW face = MessageFont(dpi);
  valmora::UniqueFont font(::CreateFontIndirectW(&face));
  ASSERT_TRUE(font);
  auto messageFont = [&font](HWND) { return font.get(); };
  ExpectWholeAndApart(main, dpi, messageFont);
  Screenshot(main, L"main_" + std::to_wstring(dpi) + L"dpi");
  const std::wstring widest = WidestSummary();
  ASSERT_EQ(std::count(widest.begin(), widest.end(), L'\n'), 5);
  ::SendMessageW(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(widest.c_str()));
  ExpectWholeAndApart(main, dpi, messageFont);
  Screenshot(main, L"main_" + std::to_wstring(dpi) + L"dpi_widest");
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
}

INSTANTIATE_TEST_SUITE_P(MainWindowE2E, MainWindowAtDpi, ::testing::Values(96u, 144u, 192u),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

// Access keys press buttons, which start work once handlers are wired: they
// are tried on the window in the driver's own process, below.
TEST(MainWindowE2E, TabFollowsTheTableAndEnterAndEscPressNothing) {
  TestFolder folder(L"keys");
  Process valmora(folder.Exe(), L"");
  HWND main = Ready(valmora.WaitForWindow(ids::kMainWindowClass));
  ASSERT_NE(main, nullptr);
  auto item = [main](int id) { return ::GetDlgItem(main, id); };
  EXPECT_EQ(FocusOf(main), item(ids::kCmdGetCurr));
  Key(main, VK_RETURN);
  Key(main, VK_ESCAPE);
  EXPECT_EQ(valmora.WaitForWindow(L"#32770", 300ms), nullptr);  // no question, no notice

  // "&List  Unsaved" is disabled until a scan finds an unsaved document.
  const int order[] = {ids::kCmdReopen,          ids::kCmdReopenExcelOnly,  ids::kCmdReopenWordOnly,
                       ids::kCmdReopenPowerPointOnly, ids::kCmdReopenOutlookOnly, ids::kCmdReopenNonOffOnly,
                       ids::kCmdExecuteCmd,      ids::kCmdExit,             ids::kCmdReopenOnRestart,
                       ids::kCmdWatchMode,       ids::kCmdGetCurr};
  for (int id : order) {
    Key(main, VK_TAB);
    EXPECT_EQ(FocusOf(main), item(id)) << "expected control " << id;
  }

  Key(main, 'F', true);  // opens the File menu
  bool menuShown = false;
  for (int i = 0; i < 50 && !menuShown; ++i, std::this_thread::sleep_for(20ms)) {
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(popup, &pid);
    menuShown = popup && pid == valmora.Id() && ::IsWindowVisible(popup);
  }
  EXPECT_TRUE(menuShown);
  Screenshot(main, L"main_file_menu");
  ::PostMessageW(main, WM_CANCELMODE, 0, 0);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
}

// The handlers frmMain is given, as a list of what reached them.
class Recorder : public valmora::MainCommands {
 public:
  void OnCommand(MainCommand command, bool shiftDown) override { calls.push_back({command, shiftDown}); }
  std::vector<std::pair<MainCommand, bool>> calls;
};

void SetShift(bool down) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

// Runs posted messages through the window's keys and to their windows.
void Pump(valmora::frmMain& window) {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    if (window.TranslateDialogKeys(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

class MainWindowInProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr)));
    window.SetCommands(&recorder);
  }
  void TearDown() override {
    SetShift(false);
    window.Close();
    MSG msg;  // the window's end asks its loop to quit: not this one
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND Item(int id) const { return ::GetDlgItem(window.Handle(), id); }
  void Click(int id) { ::SendMessageW(Item(id), BM_CLICK, 0, 0); }
  void Menu(int id) { ::SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  valmora::frmMain window;
  Recorder recorder;
};

TEST_F(MainWindowInProcess, SendsEveryClickWithTheShiftStateOfItsMoment) {
  window.SetListUnsavedEnabled(true);
  const std::pair<int, MainCommand> buttons[] = {
      {ids::kCmdGetCurr, MainCommand::GetCurr},
      {ids::kCmdReopen, MainCommand::Reopen},
      {ids::kCmdReopenExcelOnly, MainCommand::ReopenExcelOnly},
      {ids::kCmdReopenWordOnly, MainCommand::ReopenWordOnly},
      {ids::kCmdReopenPowerPointOnly, MainCommand::ReopenPowerPointOnly},
      {ids::kCmdReopenOutlookOnly, MainCommand::ReopenOutlookOnly},
      {ids::kCmdReopenNonOffOnly, MainCommand::ReopenNonOffOnly},
      {ids::kCmdExecuteCmd, MainCommand::ExecuteCmd},
      {ids::kCmdExit, MainCommand::Exit},
      {ids::kCmdListUnsavedDocs, MainCommand::ListUnsavedDocs},
      {ids::kCmdWatchMode, MainCommand::WatchMode},
      {ids::kCmdReopenOnRestart, MainCommand::ReopenOnRestart},
  };
  const std::pair<int, MainCommand> menus[] = {
      {ids::kMnuFileManualAdd, MainCommand::FileManualAdd}, {ids::kMnuFileOpenLog, MainCommand::FileOpenLog},
      {ids::kMnuFileExit, MainCommand::Exit},               {ids::kMnuHelpHelp, MainCommand::HelpHelp},
      {ids::kMnuHelpAbout, MainCommand::HelpAbout},         {ids::kMnuPopupRestore, MainCommand::PopupRestore},
  };
  std::vector<std::pair<MainCommand, bool>> expected;
  for (bool shift : {false, true}) {
    SetShift(shift);
    for (const auto& [id, command] : buttons) {
      Click(id);
      expected.push_back({command, shift});
    }
    for (const auto& [id, command] : menus) {
      Menu(id);
      expected.push_back({command, shift});
    }
    ::SendMessageW(Item(ids::kImgCopyright), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageW(Item(ids::kImgCopyright), WM_LBUTTONUP, 0, 0);
    expected.push_back({MainCommand::Copyright, shift});
  }
  EXPECT_EQ(recorder.calls, expected);
  // A toggle's click is a request: the program decides whether it stays pressed.
  EXPECT_FALSE(window.IsWatchModePressed());

  // Enter and Esc become IDOK and IDCANCEL in the dialog keys: no command.
  recorder.calls.clear();
  for (int id : {IDOK, IDCANCEL}) Menu(id);
  EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(MainWindowInProcess, KeysGoThroughTheDialogKeysOnly) {
  window.Display();
  ::SetForegroundWindow(window.Handle());
  ::SetFocus(Item(ids::kCmdReopen));
  Pump(window);
  ASSERT_EQ(::GetFocus(), Item(ids::kCmdReopen));
  auto key = [&](UINT down, UINT up, WPARAM vk, LPARAM extra) {
    ::PostMessageW(::GetFocus(), down, vk, 1 | extra);
    ::PostMessageW(::GetFocus(), up, vk, 0xC0000001 | extra);
    Pump(window);
  };
  key(WM_KEYDOWN, WM_KEYUP, VK_RETURN, 0);
  key(WM_KEYDOWN, WM_KEYUP, VK_ESCAPE, 0);
  EXPECT_TRUE(recorder.calls.empty());
  key(WM_KEYDOWN, WM_KEYUP, VK_SPACE, 0);  // the focused button's own key
  key(WM_SYSKEYDOWN, WM_SYSKEYUP, 'G', 1 << 29);
  key(WM_SYSKEYDOWN, WM_SYSKEYUP, 'X', 1 << 29);
  const std::vector<std::pair<MainCommand, bool>> expected = {
      {MainCommand::Reopen, false}, {MainCommand::GetCurr, false}, {MainCommand::Exit, false}};
  EXPECT_EQ(recorder.calls, expected);

  // The focused button locked by Go hands the focus to Exit, which keeps
  // working, and gets it back afterwards.
  ::SetFocus(Item(ids::kCmdReopen));
  window.SetGoRunning(true);
  EXPECT_EQ(::GetFocus(), Item(ids::kCmdExit));
  window.SetGoRunning(false);
  EXPECT_EQ(::GetFocus(), Item(ids::kCmdReopen));
}

TEST_F(MainWindowInProcess, GoLocksWhatStartsWorkAndKeepsListUnsavedAsTheScanLeftIt) {
  HWND main = window.Handle();
  auto grayed = [main](int id) { return (::GetMenuState(::GetMenu(main), id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
  const int locked[] = {ids::kCmdGetCurr,           ids::kCmdReopen,           ids::kCmdReopenExcelOnly,
                        ids::kCmdReopenWordOnly,      ids::kCmdReopenPowerPointOnly, ids::kCmdReopenOutlookOnly,
                        ids::kCmdReopenNonOffOnly,    ids::kCmdExecuteCmd,       ids::kCmdWatchMode,
                        ids::kCmdReopenOnRestart,     ids::kCmdListUnsavedDocs};

  struct Step {
    bool enableBefore, enableDuring;
    bool expectedAfter;
  };
  const Step steps[] = {{false, true, true}, {true, false, false}, {true, true, true}, {false, false, false}};
  for (const Step& step : steps) {
    window.SetListUnsavedEnabled(step.enableBefore);
    window.SetGoRunning(true);
    for (int id : locked) EXPECT_FALSE(::IsWindowEnabled(Item(id))) << id;
    EXPECT_TRUE(::IsWindowEnabled(Item(ids::kCmdExit)));
    EXPECT_TRUE(grayed(ids::kMnuFileManualAdd));
    for (int id : {ids::kMnuFileOpenLog, ids::kMnuFileExit, ids::kMnuHelpHelp, ids::kMnuHelpAbout}) {
      EXPECT_FALSE(grayed(id)) << id;
    }
    window.SetListUnsavedEnabled(step.enableDuring);  // the scan's finding, made while Go runs
    EXPECT_FALSE(::IsWindowEnabled(Item(ids::kCmdListUnsavedDocs)));
    // Clicks that arrive meanwhile (posted ones too) start nothing.
    Click(ids::kCmdReopen);
    Menu(ids::kMnuFileManualAdd);
    Click(ids::kCmdExit);
    window.SetGoRunning(false);
    for (int id : locked) {
      if (id != ids::kCmdListUnsavedDocs) {
        EXPECT_TRUE(::IsWindowEnabled(Item(id))) << id;
      }
    }
    EXPECT_EQ(::IsWindowEnabled(Item(ids::kCmdListUnsavedDocs)) != FALSE, step.expectedAfter);
    EXPECT_FALSE(grayed(ids::kMnuFileManualAdd));
  }
  const std::vector<std::pair<MainCommand, bool>> onlyExits(std::size(steps), {MainCommand::Exit, false});
  EXPECT_EQ(recorder.calls, onlyExits);
}

// Moved to monitors of other DPIs, the window lays itself out again where
// the system suggests, in the message font at its full size for each, every
// text whole in it; back at its first DPI it is back at its first size.
TEST_F(MainWindowInProcess, FollowsTheDpiInTheFullSizeMessageFont) {
  HWND main = window.Handle();
  window.SetMsg1Caption(WidestSummary());
  RECT first{};
  for (UINT dpi : {96u, 192u, 144u, 96u}) {
    SCOPED_TRACE(::testing::Message() << dpi << " DPI");
    RECT suggested{static_cast<LONG>(dpi), 40, 800, 600};
    ::SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT frame{}, client{};
    ::GetWindowRect(main, &frame);
    ::GetClientRect(main, &client);
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.top, suggested.top);
    if (::IsRectEmpty(&first)) first = client;
    for (const Expected& e : kControls) {
      LOGFONTW font{};
      ASSERT_TRUE(::GetObjectW(OwnFont(Item(e.id)), sizeof font, &font)) << e.id;
      EXPECT_EQ(font.lfHeight, MessageFont(dpi).lfHeight) << "not the message font at its full size: " << e.id;
    }
    ExpectWholeAndApart(main, dpi, OwnFont);
    ExpectTipsOnTheirButtons(main);
  }
  RECT last{};
  ::GetClientRect(main, &last);
  EXPECT_TRUE(::EqualRect(&first, &last));
}

// The message font the user chose, for as long as this lives, told to the
// window as the system tells it; then the one before.
class MessageFontChange {
 public:
  MessageFontChange(HWND window, LONG height) : window_(window) {
    old_.cbSize = sizeof old_;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof old_, &old_, 0)) return;
    NONCLIENTMETRICSW changed = old_;
    changed.lfMessageFont.lfHeight = height;
    changed.lfMessageFont.lfWidth = 0;
    made_ = ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof changed, &changed, 0) != FALSE;
    Tell();
  }
  ~MessageFontChange() {
    if (!made_) return;
    ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof old_, &old_, 0);
    Tell();
  }
  MessageFontChange(const MessageFontChange&) = delete;
  MessageFontChange& operator=(const MessageFontChange&) = delete;
  bool Made() const { return made_; }

 private:
  void Tell() {
    ::SendMessageW(window_, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, reinterpret_cast<LPARAM>(L"WindowMetrics"));
  }
  HWND window_;
  NONCLIENTMETRICSW old_{};
  bool made_ = false;
};

// A larger message font grows the window around it, whole; the font as it
// was brings the window back to its size. Other settings leave it alone.
TEST_F(MainWindowInProcess, TheMessageFontChangedGrowsOrShrinksTheWindowToIt) {
  HWND main = window.Handle();
  window.SetMsg1Caption(WidestSummary());
  RECT before{};
  ::GetClientRect(main, &before);
  {
    const LONG usual = MessageFont(96).lfHeight;
    MessageFontChange larger(main, usual * 2);
    ASSERT_TRUE(larger.Made());
    ASSERT_NE(MessageFont(96).lfHeight, usual);
    LOGFONTW font{};
    ::GetObjectW(OwnFont(Item(ids::kLblMsg1)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, MessageFont(96).lfHeight);
    RECT grown{};
    ::GetClientRect(main, &grown);
    EXPECT_GT(grown.right, before.right);
    EXPECT_GT(grown.bottom, before.bottom);
    ExpectWholeAndApart(main, 96, OwnFont);
    ExpectTipsOnTheirButtons(main);
    window.Display();
    ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Screenshot(main, L"main_large_font");
    window.HideWindow();
  }
  RECT after{};
  ::GetClientRect(main, &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
  ::SendMessageW(main, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"));
  ::GetClientRect(main, &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
}

// The session's system colours changed for as long as it lives. Wine 8
// has no high-contrast switch: SPI_GETHIGHCONTRAST always answers off,
// SPI_SETHIGHCONTRAST fails (ERROR_INVALID_SPI_VALUE) and the HighContrast
// "Flags" value under Control Panel\Accessibility is not read. What such a
// theme does to the colours is made with SetSysColors instead, which holds
// for every process until the wineserver ends: put back afterwards.
class SystemColours {
 public:
  SystemColours(std::vector<int> elements, const std::vector<COLORREF>& colours) : elements_(std::move(elements)) {
    for (int element : elements_) old_.push_back(::GetSysColor(element));
    ::SetSysColors(static_cast<int>(elements_.size()), elements_.data(), colours.data());
  }
  ~SystemColours() { ::SetSysColors(static_cast<int>(elements_.size()), elements_.data(), old_.data()); }
  SystemColours(const SystemColours&) = delete;
  SystemColours& operator=(const SystemColours&) = delete;

 private:
  std::vector<int> elements_;
  std::vector<COLORREF> old_;
};

struct LabelColours {
  COLORREF text, background, brush;
};

// What the window tells a label to paint with.
LabelColours ColoursOf(HWND main, HWND label) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(label)));
  LOGBRUSH fill{};
  ::GetObjectW(brush, sizeof fill, &fill);
  const LabelColours colours{::GetTextColor(dc), ::GetBkColor(dc), fill.lbColor};
  ::DeleteDC(dc);
  return colours;
}

// The share of the control's pixels inside its edges in that colour, as
// they are on screen.
double ShareOf(HWND control, COLORREF colour) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  HDC screen = ::GetDC(nullptr);
  int inColour = 0, all = 0;
  for (int y = rect.top + 3; y < rect.bottom - 3; ++y) {
    for (int x = rect.left + 3; x < rect.right - 3; ++x, ++all) inColour += ::GetPixel(screen, x, y) == colour;
  }
  ::ReleaseDC(nullptr, screen);
  return all ? static_cast<double>(inColour) / all : 0;
}

// The labels' colours are read from the window procedure of the window in
// this process; the toggles' custom draw needs the common controls of the
// program's own manifest, so they are looked at in Valmora.exe on screen.
TEST_F(MainWindowInProcess, AHighContrastThemeGivesItsColoursToTheColouredParts) {
  HWND main = window.Handle();
  // The ordinary theme keeps the design's navy and dark red.
  EXPECT_EQ(ColoursOf(main, Item(ids::kLblMsg1)).text, RGB(0, 0, 128));
  EXPECT_EQ(ColoursOf(main, Item(ids::kLblCmdLine)).text, RGB(128, 0, 0));

  // As in "High Contrast Black": white on black, green disabled text, and a
  // light border colour under which white text would not read.
  const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  SystemColours theme({COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOWTEXT, COLOR_GRAYTEXT, COLOR_ACTIVEBORDER,
                       COLOR_3DHILIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
                      {black, white, white, RGB(63, 242, 63), RGB(255, 255, 0), white, white, black, white});
  ::SendMessageW(main, WM_SYSCOLORCHANGE, 0, 0);
  for (int id : {ids::kLblMsg1, ids::kLblCmdLine}) {
    SCOPED_TRACE(::testing::Message() << "label " << id);
    const LabelColours colours = ColoursOf(main, Item(id));
    EXPECT_EQ(colours.text, white);
    EXPECT_EQ(colours.background, black);
    EXPECT_EQ(colours.brush, black);
  }

  Registrations registrations;
  TestFolder folder(L"high_contrast");
  folder.WriteFile(L"Valmora.txt", "12/5/2026 14:07\r\nC:\\Data\\a.xlsx\r\n");
  registrations.RegisterWatch(folder);  // one toggle on, one off
  Process valmora(folder.Exe(), L"");
  // A watch run offers the logged workbook first; reopened, it would be
  // missing, and its warning would wait for a click.
  HWND question = valmora.WaitForMessageSaying(valmora::kStartupQuestion);
  ASSERT_NE(question, nullptr);
  PressDialogButton(question, valmora::msgbox_ids::kCmdNo);
  HWND shown = Ready(valmora.WaitForWindow(ids::kMainWindowClass));
  ASSERT_NE(shown, nullptr);
  Screenshot(shown, L"main_high_contrast");  // waits for it to paint
  auto toggle = [shown](int id) { return ::GetDlgItem(shown, id); };
  EXPECT_TRUE(IsPressed(toggle(ids::kCmdWatchMode)));
  for (int id : {ids::kCmdWatchMode, ids::kCmdReopenOnRestart}) {
    SCOPED_TRACE(::testing::Message() << "toggle " << id);
    EXPECT_GT(ShareOf(toggle(id), black), 0.5) << "the theme's button face";
    EXPECT_GT(ShareOf(toggle(id), white), 0.0) << "a caption in the theme's button text";
    EXPECT_EQ(ShareOf(toggle(id), RGB(255, 255, 0)), 0.0) << "none of the light border colour";
  }
  EXPECT_EQ(ShareOf(::GetDlgItem(shown, ids::kLblMsg1), RGB(0, 0, 128)), 0.0);
  EXPECT_GT(ShareOf(::GetDlgItem(shown, ids::kLblMsg1), white), 0.0);
  PressDialogButton(shown, ids::kCmdExit);  // the close box keeps a watching program in the tray
  EXPECT_EQ(valmora.WaitForExit(20s), 0u);
}

// The text of the tip shown once the pointer rests on the control, or ""
// when none shows. The pointer is moved as a mouse moves it, through the
// system's input queue.
std::wstring TipShownOver(valmora::frmMain& window, HWND control) {
  HWND tips = TooltipsOf(window.Handle());
  if (!tips) return L"";
  ::SendMessageW(tips, TTM_POP, 0, 0);
  RECT rect;
  ::GetWindowRect(control, &rect);
  for (const POINT at : {POINT{rect.left + 2, rect.top + 2}, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}}) {
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = ::MulDiv(at.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = ::MulDiv(at.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &move, sizeof move);
    Pump(window);
  }
  const bool shown = WaitUntil([&] {
    Pump(window);
    return ::IsWindowVisible(tips) != FALSE;
  }, 10s);
  if (!shown) return L"";
  wchar_t text[512] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.lpszText = text;
  if (!::SendMessageW(tips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return L"";
  return text;
}

// A disabled button gets no mouse messages of its own; its tip shows all
// the same: List Unsaved before a scan has found anything, every command
// while Go runs, and an enabled button as ever.
TEST_F(MainWindowInProcess, TipsShowOverDisabledButtonsToo) {
  window.Display();
  ::SetForegroundWindow(window.Handle());
  Pump(window);
  ASSERT_FALSE(::IsWindowEnabled(Item(ids::kCmdListUnsavedDocs)));
  EXPECT_EQ(TipShownOver(window, Item(ids::kCmdListUnsavedDocs)), kTooltips.at(ids::kCmdListUnsavedDocs));
  EXPECT_EQ(TipShownOver(window, Item(ids::kCmdGetCurr)), kTooltips.at(ids::kCmdGetCurr));
  EXPECT_EQ(TipShownOver(window, Item(ids::kCmdReopenPowerPointOnly)), kTooltips.at(ids::kCmdReopenPowerPointOnly));
  window.SetGoRunning(true);
  for (int id : {ids::kCmdReopen, ids::kCmdReopenPowerPointOnly, ids::kCmdWatchMode}) {
    ASSERT_FALSE(::IsWindowEnabled(Item(id)));
    EXPECT_EQ(TipShownOver(window, Item(id)), kTooltips.at(id)) << "control " << id;
  }
  window.SetGoRunning(false);
}

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

TEST_F(MainWindowInProcess, MenusTooltipsAndThePointerOverTheBadge) {
  HMENU bar = ::GetMenu(window.Handle());
  ASSERT_NE(bar, nullptr);
  struct Entry {
    std::wstring caption;
    UINT id;
  };
  const std::vector<std::pair<std::wstring, std::vector<Entry>>> expected = {
      {L"&File",
       {{L"Manually &add file (eg. non-office)", ids::kMnuFileManualAdd},
        {L"Open log file", ids::kMnuFileOpenLog},
        {L"Reopen &Previous Session", ids::kMnuFileReopenPrevious},
        {L"E&xit", ids::kMnuFileExit}}},
      {L"&Help", {{L"&Help", ids::kMnuHelpHelp}, {L"&About", ids::kMnuHelpAbout}}},
  };
  ASSERT_EQ(::GetMenuItemCount(bar), static_cast<int>(expected.size()));  // no "&SysTray" in the bar
  for (UINT i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(MenuText(bar, i), expected[i].first);
    HMENU popup = ::GetSubMenu(bar, static_cast<int>(i));
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(::GetMenuItemCount(popup), static_cast<int>(expected[i].second.size()));
    for (UINT j = 0; j < expected[i].second.size(); ++j) {
      EXPECT_EQ(MenuText(popup, j), expected[i].second[j].caption);
      EXPECT_EQ(::GetMenuItemID(popup, static_cast<int>(j)), expected[i].second[j].id);
    }
  }
  HMENU restore = window.PopupMenu();
  ASSERT_NE(restore, nullptr);
  ASSERT_EQ(::GetMenuItemCount(restore), 1);
  EXPECT_EQ(MenuText(restore, 0), L"Restore");
  EXPECT_EQ(::GetMenuItemID(restore, 0), static_cast<UINT>(ids::kMnuPopupRestore));
  valmora::UniqueMenu sysTray = valmora::CreateSysTrayMenu();  // the holder the window builds it in
  EXPECT_EQ(MenuText(sysTray.get(), 0), L"&SysTray");

  HWND tips = TooltipsOf(window.Handle());
  ASSERT_NE(tips, nullptr);
  std::map<int, std::wstring> onButtons, onPlaces;
  const int count = static_cast<int>(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = text;
    ASSERT_TRUE(::SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(tool.uFlags & TTF_SUBCLASS);
    if (tool.uFlags & TTF_IDISHWND) {
      onButtons[::GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))] = text;
    } else {
      const int id = static_cast<int>(tool.uId);
      onPlaces[id] = text;
      const RECT place = ClientRectOf(window.Handle(), id);
      EXPECT_TRUE(::EqualRect(&tool.rect, &place)) << "the tip's place is not control " << id << "'s";
    }
  }
  EXPECT_EQ(onButtons, kTooltips);
  EXPECT_EQ(onPlaces, kTooltips);
  EXPECT_GT(::SendMessageW(tips, TTM_GETMAXTIPWIDTH, 0, 0), 0);  // long tips wrap

  ::SendMessageW(window.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(ids::kImgCopyright)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
  window.SetScreenBusy(true);  // the hourglass wins while Go works
  ::SendMessageW(window.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(ids::kImgCopyright)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_WAIT));
  window.SetScreenBusy(false);
}

}  // namespace
}  // namespace e2e
