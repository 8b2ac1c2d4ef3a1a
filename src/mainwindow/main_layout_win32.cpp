#include "mainwindow/main_layout_win32.h"

#include "mainwindow/control_ids.h"

namespace valmora {
namespace {

// The summary at its widest: all its lines, the longest application name
// with the longest noun and three-digit counts. Measured rather than the
// label's text of the moment, so the window keeps its size from scan to
// scan; a longer text (a progress line with a path, an error) wraps.
constexpr wchar_t kWidestSummary[] =
    L"Open at last check:  12/28/2026 23:59\r\n"
    L"Excel: 100 docs open of which 100 are unsaved, excludes 100 NEW\r\n"
    L"Word: 100 docs open of which 100 are unsaved, excludes 100 NEW\r\n"
    L"PowerPoint: 100 docs open of which 100 are unsaved, excludes 100 NEW\r\n"
    L"Outlook: 100 items open of which 100 are unsaved, excludes 100 NEW\r\n"
    L"Other: 100";

// In tab order: controls are created in this order.
constexpr ControlSpec kControls[] = {
    {ids::kCmdGetCurr, ControlKind::Button, L"&Get Curr", 0, L"Get list of documents open currently",
     MainCommand::GetCurr},
    {ids::kCmdReopen, ControlKind::Button, L"Re&open Now", 0,
     L"Reopen all documents listed as open on last scan", MainCommand::Reopen},
    {ids::kCmdReopenExcelOnly, ControlKind::Button, L"E", 0,
     L"Reopen Excel documents listed as open on last scan", MainCommand::ReopenExcelOnly},
    {ids::kCmdReopenWordOnly, ControlKind::Button, L"W", 0,
     L"Reopen Word documents listed as open on last scan", MainCommand::ReopenWordOnly},
    {ids::kCmdReopenPowerPointOnly, ControlKind::Button, L"P", 0,
     L"Reopen PowerPoint presentations listed as open on last scan", MainCommand::ReopenPowerPointOnly},
    {ids::kCmdReopenOutlookOnly, ControlKind::Button, L"O", 0,
     L"Reopen Outlook documents listed as open on last scan", MainCommand::ReopenOutlookOnly},
    {ids::kCmdReopenNonOffOnly, ControlKind::Button, L"N", 0,
     L"Reopen non-office documents listed (added manually)", MainCommand::ReopenNonOffOnly},
    {ids::kCmdExecuteCmd, ControlKind::Button, L"&Execute Cmd", 0,
     L"Execute an external command (use to run a script etc). Shift-click to set command.", MainCommand::ExecuteCmd},
    {ids::kCmdExit, ControlKind::Button, L"E&xit", 0, nullptr, MainCommand::Exit},
    {ids::kLblMsg1, ControlKind::Label, L"", SS_LEFT, nullptr, std::nullopt},
    {ids::kLblCopyright, ControlKind::Label, L"", 0, nullptr, std::nullopt},
    {ids::kLblCopyrightBG, ControlKind::Label, L"", 0, nullptr, std::nullopt},
    {ids::kCmdReopenOnRestart, ControlKind::Toggle, L"&Reopen at Lg", 0,
     L"Start this program next time user logs on - reopen documents listed as open on last scan, then exit",
     MainCommand::ReopenOnRestart},
    {ids::kCmdListUnsavedDocs, ControlKind::Button, L"&List  Unsaved", WS_DISABLED,
     L"List documents flagged as unsaved", MainCommand::ListUnsavedDocs},
    {ids::kCmdWatchMode, ControlKind::Toggle, L"&Watch Mode", 0,
     L"Start this program every time user logs on - start in Watch mode (program sits in the system tray monitoring "
     L"open documents, and reopens them after a restart)",
     MainCommand::WatchMode},
    {ids::kLblCmdLine, ControlKind::Label, L"", SS_CENTER, nullptr, std::nullopt},
    {ids::kImgCopyright, ControlKind::Picture, L"", 0, nullptr, MainCommand::Copyright},
};

}  // namespace

std::span<const ControlSpec> MainControls() { return kControls; }

DWORD ControlStyle(const ControlSpec& c) {
  switch (c.kind) {
    case ControlKind::Button: return WS_TABSTOP | BS_PUSHBUTTON | c.style;
    // Drawn as buttons that stay pressed; a click does not change them by
    // itself, the logon registration decides.
    case ControlKind::Toggle: return WS_TABSTOP | BS_CHECKBOX | BS_PUSHLIKE | c.style;
    case ControlKind::Label: return SS_NOPREFIX | c.style;
    case ControlKind::Picture: return SS_OWNERDRAW | SS_NOTIFY | c.style;
  }
  return c.style;
}

const ControlSpec* FindControl(int id) {
  for (const ControlSpec& c : kControls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

// What a reopen in progress must not start again: every command button but
// Exit (a close is held until Go ends), the toggles, and the manual add,
// which writes the log.
bool LockedWhileGoRuns(const ControlSpec& c) {
  return (c.kind == ControlKind::Button || c.kind == ControlKind::Toggle) && c.command != MainCommand::Exit;
}

// Buttons draw their captions inside their edges; the labels draw theirs
// from edge to edge, breaking lines only at CR LF.
MainTextSizes MeasureTexts(HDC dc, HFONT font, UINT dpi) {
  MainTextSizes sizes;
  sizes.dpi = static_cast<int>(dpi);
  sizes.captionMargin = 2 * ::GetSystemMetricsForDpi(SM_CXEDGE, dpi);
  HGDIOBJ old = ::SelectObject(dc, font);
  auto measure = [dc](const wchar_t* text, UINT format) {
    RECT rect{};
    ::DrawTextW(dc, text, -1, &rect, DT_CALCRECT | format);
    return PixelSize{rect.right - rect.left, rect.bottom - rect.top};
  };
  for (const ControlSpec& c : kControls) {
    if (c.kind == ControlKind::Button || c.kind == ControlKind::Toggle) {
      sizes.texts[c.id] = measure(c.caption, DT_SINGLELINE);
    }
  }
  sizes.texts[ids::kLblMsg1] = measure(kWidestSummary, DT_NOPREFIX | DT_EXPANDTABS);
  sizes.texts[ids::kLblCmdLine] = measure(L"Ag", DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, old);
  return sizes;
}

}  // namespace valmora
