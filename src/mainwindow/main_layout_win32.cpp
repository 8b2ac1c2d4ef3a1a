#include "mainwindow/main_layout_win32.h"

#include "mainwindow/control_ids.h"

namespace valmora {
namespace {

constexpr int kMsg1Lines = 5;     // the status summary's lines
constexpr int kSmallestFont = 9;  // pixels at 96 DPI

// In tab order: controls are created in this order.
constexpr ControlSpec kControls[] = {
    {ids::kCmdGetCurr, ControlKind::Button, L"&Get Curr", 0, 132, 60, 1155, 405, L"Get list of documents open currently",
     MainCommand::GetCurr},
    {ids::kCmdReopen, ControlKind::Button, L"Re&open Now", 0, 1560, 60, 1155, 405,
     L"Reopen all documents listed as open on last scan", MainCommand::Reopen},
    {ids::kCmdReopenExcelOnly, ControlKind::Button, L"E", 0, 2760, 60, 315, 405,
     L"Reopen Excel documents listed as open on last scan", MainCommand::ReopenExcelOnly},
    {ids::kCmdReopenWordOnly, ControlKind::Button, L"W", 0, 3120, 60, 315, 405,
     L"Reopen Word documents listed as open on last scan", MainCommand::ReopenWordOnly},
    {ids::kCmdReopenOutlookOnly, ControlKind::Button, L"O", 0, 3480, 60, 315, 405,
     L"Reopen Outlook documents listed as open on last scan", MainCommand::ReopenOutlookOnly},
    {ids::kCmdReopenNonOffOnly, ControlKind::Button, L"N", 0, 3840, 60, 315, 405,
     L"Reopen non-office documents listed (added manually)", MainCommand::ReopenNonOffOnly},
    {ids::kCmdExecuteCmd, ControlKind::Button, L"&Execute Cmd", 0, 4560, 60, 1155, 405,
     L"Execute an external command (use to run a script etc). Shift-click to set command.", MainCommand::ExecuteCmd},
    {ids::kCmdExit, ControlKind::Button, L"E&xit", 0, 4560, 1730, 1155, 405, nullptr, MainCommand::Exit},
    {ids::kLblMsg1, ControlKind::Label, L"", SS_LEFT, 240, 600, 5460, 965, nullptr, std::nullopt},
    {ids::kLblCopyright, ControlKind::Label, L"", 0, -120, 2600, 5955, 225, nullptr, std::nullopt},
    {ids::kLblCopyrightBG, ControlKind::Label, L"", 0, -120, 2600, 5955, 285, nullptr, std::nullopt},
    {ids::kCmdReopenOnRestart, ControlKind::Toggle, L"&Reopen at Lg", 0, 1608, 1730, 1155, 405,
     L"Start this program next time user logs on - reopen documents listed as open on last scan, then exit",
     MainCommand::ReopenOnRestart},
    {ids::kCmdListUnsavedDocs, ControlKind::Button, L"&List  Unsaved", WS_DISABLED, 132, 1730, 1155, 405,
     L"List documents flagged as unsaved", MainCommand::ListUnsavedDocs},
    {ids::kCmdWatchMode, ControlKind::Toggle, L"&Watch Mode", 0, 3084, 1730, 1155, 405,
     L"Start this program every time user logs on - start in Watch mode (program sits in the system tray monitoring "
     L"open documents, and reopens them after a restart)",
     MainCommand::WatchMode},
    {ids::kLblCmdLine, ControlKind::Label, L"", SS_CENTER, 0, 2240, 5700, 285, nullptr, std::nullopt},
    {ids::kImgCopyright, ControlKind::Picture, L"", 0, 1785, 2600, 2250, 270, nullptr, MainCommand::Copyright},
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

namespace {

// Room a button leaves for its caption inside its edges, in pixels.
int ButtonMargin(UINT dpi) { return 2 * ::GetSystemMetricsForDpi(SM_CXEDGE, dpi); }

// Whether every caption fits its button and the status summary fits
// lblMsg1, in `font` on `dc`.
bool Fits(HDC dc, HFONT font, UINT dpi) {
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  bool fits = ::GetTextMetricsW(dc, &metrics) != FALSE;
  const int margin = ButtonMargin(dpi);
  for (const ControlSpec& c : kControls) {
    const int width = ::MulDiv(c.width, static_cast<int>(dpi), 1440);
    const int height = ::MulDiv(c.height, static_cast<int>(dpi), 1440);
    if (c.id == ids::kLblMsg1) {
      fits = fits && metrics.tmHeight * kMsg1Lines <= height;
    } else if (c.kind == ControlKind::Button || c.kind == ControlKind::Toggle) {
      RECT text{};
      ::DrawTextW(dc, c.caption, -1, &text, DT_CALCRECT | DT_SINGLELINE);
      fits = fits && text.right <= width - 2 * margin && text.bottom <= height - 2 * margin;
    }
  }
  ::SelectObject(dc, old);
  return fits;
}

}  // namespace

// The message font at this DPI, made smaller only as far as the controls'
// fixed sizes need: fonts differ from machine to machine, the layout does not.
UniqueFont FittedFont(HWND window, LOGFONTW face, UINT dpi) {
  UniqueFont font(::CreateFontIndirectW(&face));
  HDC dc = ::GetDC(window);
  if (!dc) return font;
  const LONG smallest = ::MulDiv(kSmallestFont, static_cast<int>(dpi), 96);
  const LONG sign = face.lfHeight < 0 ? -1 : 1;
  while (font && !Fits(dc, font.get(), dpi) && face.lfHeight * sign > smallest) {
    face.lfHeight -= sign;
    face.lfWidth = 0;
    font.reset(::CreateFontIndirectW(&face));
  }
  ::ReleaseDC(window, dc);
  return font;
}

}  // namespace valmora
