#include "msgbox/msgbox_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "library/modal_dialog_win32.h"
#include "library/process_window_win32.h"
#include "library/unique_handle_win32.h"
#include "msgbox/msgbox_ids.h"
#include "msgbox/msgbox_layout.h"
#include "msgbox/msgbox_print_win32.h"

namespace valmora {

namespace ids = msgbox_ids;

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr UINT_PTR kCountdownTimer = 1;
// The buttons Enter can press: the answers, and Print, which prints.
constexpr int kButtonIds[] = {ids::kCmdYes, ids::kCmdNo, ids::kCmdOk, ids::kCmdPrint};

}  // namespace

struct frmMsgBox::Dialog {
  HWND hwnd = nullptr;
  HWND owner = nullptr;
  bool ownerDisabled = false;
  UINT dpi = 96;
  std::wstring request;
  bool preset = false;
  std::function<void(bool)> closed;
  MsgBoxStyle style;
  Countdown countdown{0};
  bool done = false;
  bool textScrolls = false;
  HWND lastFocus = nullptr;
  UniqueFont font;
  UniqueIcon icon, printIcon;
};

namespace {

using Dialog = frmMsgBox::Dialog;

HWND Item(const Dialog& d, int id) { return ::GetDlgItem(d.hwnd, id); }

int Px(const Dialog& d, long twips) { return ::MulDiv(twips, static_cast<int>(d.dpi), 1440); }

void Place(const Dialog& d, int id, const TwipRect& r, long shift = 0) {
  ::SetWindowPos(Item(d, id), nullptr, Px(d, r.left), Px(d, r.top + shift), Px(d, r.width), Px(d, r.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND AddControl(const Dialog& d, int id, const wchar_t* className, const wchar_t* text, DWORD style) {
  return ::CreateWindowExW(0, className, text, WS_CHILD | style, 0, 0, 0, 0, d.hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

HICON StandardIcon(MsgBoxIcon icon, int size) {
  const wchar_t* id = nullptr;
  switch (icon) {
    case MsgBoxIcon::Critical: id = IDI_ERROR; break;
    case MsgBoxIcon::Exclamation: id = IDI_WARNING; break;
    case MsgBoxIcon::Information: id = IDI_INFORMATION; break;
    case MsgBoxIcon::Question: id = IDI_QUESTION; break;
    case MsgBoxIcon::None: return nullptr;
  }
  // Not shared: drawn for this size, and destroyed by the caller.
  return static_cast<HICON>(::LoadImageW(nullptr, id, IMAGE_ICON, size, size, 0));
}

// The lines the text takes in that font at the text box's width, in units
// of the design's line height.
int MeasureLines(const Dialog& d, HFONT font, const std::wstring& text) {
  HDC dc = ::GetDC(d.hwnd);
  const HGDIOBJ old = ::SelectObject(dc, font);
  RECT rect{0, 0, Px(d, kMsgBoxText.width), 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
  ::SelectObject(dc, old);
  ::ReleaseDC(d.hwnd, dc);
  const int line = std::max(1, Px(d, kMsgBoxLineHeight));
  return std::max(1, static_cast<int>((rect.bottom - rect.top + line - 1) / line));
}

// The text box scrolls only when the dialog may not grow to its text; the
// scroll bar is fixed at creation, so a change recreates it.
void CreateTextBox(Dialog& d, bool scrolls, const std::wstring& text, HFONT font) {
  if (HWND old = Item(d, ids::kTxtMessage)) ::DestroyWindow(old);
  const DWORD style = WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | (scrolls ? WS_VSCROLL | WS_TABSTOP : 0);
  HWND box = AddControl(d, ids::kTxtMessage, L"EDIT", L"", style);
  ::SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // first in Tab order
  ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ::SendMessageW(box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  ::SetWindowTextW(box, text.c_str());
  d.textScrolls = scrolls;
}

// The font and icons made for one DPI.
struct DpiResources {
  UniqueFont font;
  UniqueIcon icon, printIcon;
};

// What cannot be made for the new DPI keeps the one it has, so that no
// control is ever left without its font or icon.
DpiResources MakeResources(const Dialog& d) {
  return {UniqueFont(CreateMessageFont(d.dpi)), UniqueIcon(StandardIcon(d.style.icon, Px(d, 480))),
          UniqueIcon(CreatePrinterIcon(::MulDiv(16, static_cast<int>(d.dpi), 96)))};
}

// The controls are handed the new font and icons before the old ones go.
void SwapResources(Dialog& d, DpiResources made) {
  if (made.font) {
    for (int id : {ids::kTxtMessage, ids::kCmdYes, ids::kCmdNo, ids::kCmdOk, ids::kLblCountDown}) {
      ::SendMessageW(Item(d, id), WM_SETFONT, reinterpret_cast<WPARAM>(made.font.get()), FALSE);
    }
    d.font = std::move(made.font);
  }
  if (made.icon) {
    ::SendMessageW(Item(d, ids::kPicIcon), STM_SETICON, reinterpret_cast<WPARAM>(made.icon.get()), 0);
    d.icon = std::move(made.icon);
  }
  if (made.printIcon) {
    ::SendMessageW(Item(d, ids::kCmdPrint), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(made.printIcon.get()));
    d.printIcon = std::move(made.printIcon);
  }
}

// Everything that depends on the DPI: font, icons, sizes, positions. The
// box goes to `suggested` when Windows names a place (a move to a monitor
// of another DPI), and is centred on the monitor's work area otherwise.
void LayOut(Dialog& d, HMONITOR monitor, const RECT* suggested = nullptr) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(monitor, &info);
  const RECT work = info.rcWork;
  const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(d.hwnd, GWL_EXSTYLE));
  RECT frame{0, 0, 0, 0};
  ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, exStyle, d.dpi);
  const long maxClient = ::MulDiv(work.bottom - work.top - (frame.bottom - frame.top), 1440, static_cast<int>(d.dpi));

  DpiResources made = MakeResources(d);
  const HFONT font = made.font ? made.font.get() : d.font.get();
  MsgBoxLayout layout = LayOutMsgBox(d.request, maxClient);
  layout = LayOutMsgBox(d.request, maxClient, MeasureLines(d, font, layout.display.text));

  if (!Item(d, ids::kTxtMessage) || d.textScrolls != layout.textScrolls) {
    CreateTextBox(d, layout.textScrolls, layout.display.text, font);
  }
  SwapResources(d, std::move(made));

  Place(d, ids::kPicIcon, IconRect(d.style.icon));
  Place(d, ids::kTxtMessage, {kMsgBoxText.left, kMsgBoxText.top, kMsgBoxText.width, layout.textHeight});
  Place(d, ids::kCmdYes, kMsgBoxYes, layout.controlsShift);
  Place(d, ids::kCmdNo, kMsgBoxNo, layout.controlsShift);
  Place(d, ids::kCmdOk, kMsgBoxOk, layout.controlsShift);
  Place(d, ids::kLblCountDown, kMsgBoxCountDown, layout.controlsShift);
  Place(d, ids::kCmdPrint, kMsgBoxPrint, layout.controlsShift);

  const SIZE client{Px(d, kMsgBoxClientWidth), Px(d, layout.clientHeight)};
  if (suggested) {
    MoveToSuggestedRect(d.hwnd, client, d.dpi, *suggested);
  } else {
    SizeAndCentre(d.hwnd, client.cx, client.cy, work);
  }
}

void CreateControls(Dialog& d) {
  AddControl(d, ids::kPicIcon, L"STATIC", L"", SS_ICON | SS_CENTERIMAGE | (d.style.icon != MsgBoxIcon::None ? WS_VISIBLE : 0));
  const DWORD yesNo = d.style.yesNo ? WS_VISIBLE : 0;
  AddControl(d, ids::kCmdYes, L"BUTTON", L"&Yes", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY | yesNo);
  AddControl(d, ids::kCmdNo, L"BUTTON", L"&No", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY | yesNo);
  AddControl(d, ids::kCmdOk, L"BUTTON", L"&Ok", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY | (d.style.yesNo ? 0 : WS_VISIBLE));
  AddControl(d, ids::kLblCountDown, L"STATIC", L"", SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX |
                                                       (d.countdown.Running() ? WS_VISIBLE : 0));
  HWND print = AddControl(d, ids::kCmdPrint, L"BUTTON", L"Print", WS_VISIBLE | WS_TABSTOP | BS_ICON | BS_NOTIFY);
  ::SetDlgItemInt(d.hwnd, ids::kLblCountDown, static_cast<UINT>(std::max(0, d.countdown.Shown())), FALSE);

  HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, d.hwnd, nullptr, nullptr, nullptr);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = d.hwnd;
  tool.uId = reinterpret_cast<UINT_PTR>(print);
  tool.lpszText = const_cast<wchar_t*>(L"Print this message");
  ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

int FocusId(const MsgBoxStyle& style) {
  switch (style.focus) {
    case MsgBoxButton::Yes: return ids::kCmdYes;
    case MsgBoxButton::No: return ids::kCmdNo;
    case MsgBoxButton::Ok: break;
  }
  return ids::kCmdOk;
}

// The focused button is the default one, so Enter presses what has the
// focus; elsewhere (the scrolling text) it is the box's own default.
void MakeDefault(const Dialog& d, int id) {
  for (int button : kButtonIds) {
    ::SendMessageW(Item(d, button), BM_SETSTYLE, button == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

void StopCountdown(Dialog& d) {
  d.countdown.Stop();
  ::KillTimer(d.hwnd, kCountdownTimer);
  ::ShowWindow(Item(d, ids::kLblCountDown), SW_HIDE);
}

void Finish(Dialog& d, bool answer) {
  if (d.done) return;
  d.done = true;
  ::KillTimer(d.hwnd, kCountdownTimer);
  ::SetDlgItemTextW(d.hwnd, ids::kLblCountDown, L"0");
  // The owner first, so that activation returns to it and not elsewhere.
  if (d.ownerDisabled) ::EnableWindow(d.owner, TRUE);
  ::DestroyWindow(d.hwnd);
  d.closed(answer);
}

LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* d = static_cast<Dialog*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(d));
    d->hwnd = hwnd;
  }
  auto* d = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!d || d->done) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if (code == BN_SETFOCUS) MakeDefault(*d, id);
      if (code == EN_SETFOCUS) MakeDefault(*d, FocusId(d->style));
      if (code != BN_CLICKED) break;
      if (id == ids::kCmdYes) Finish(*d, true);
      else if (id == ids::kCmdNo) Finish(*d, false);
      else if (id == ids::kCmdOk || id == IDCANCEL) Finish(*d, d->preset);
      else if (id == ids::kCmdPrint) PrintWindowImage(hwnd);  // the box stays open
      return 0;
    }
    case DM_GETDEFID: {
      const int focused = ::GetDlgCtrlID(::GetFocus());
      for (int id : kButtonIds) {
        if (id == focused) return MAKELRESULT(id, DC_HASDEFID);
      }
      return MAKELRESULT(FocusId(d->style), DC_HASDEFID);
    }
    case WM_TIMER:
      if (wParam == kCountdownTimer) {
        const bool expired = d->countdown.Tick();
        ::SetDlgItemInt(hwnd, ids::kLblCountDown, static_cast<UINT>(std::max(0, d->countdown.Shown())), FALSE);
        if (expired) Finish(*d, d->preset);
        return 0;
      }
      break;
    case WM_CLOSE:  // the close box answers the preset, like the countdown
      Finish(*d, d->preset);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        d->lastFocus = ::GetFocus();
      } else if (d->lastFocus && ::IsChild(hwnd, d->lastFocus)) {
        ::SetFocus(d->lastFocus);
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {  // the read-only text box and the labels on the face colour
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED: {
      d->dpi = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      LayOut(*d, ::MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST), suggested);
      return 0;
    }
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

frmMsgBox::frmMsgBox(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}

void frmMsgBox::ShowModal(const std::wstring& request, bool presetAnswer,
                          const std::function<void(bool answer)>& closed) {
  if (!RegisterDialogWindowClass(instance_, ids::kWindowClass, DialogProc)) return;
  Dialog d;
  d.owner = owner_ && ::IsWindow(owner_) ? owner_ : nullptr;
  d.request = request;
  d.preset = presetAnswer;
  d.closed = closed;
  const MsgBoxRequestParts parts = ParseMsgBoxRequest(request);
  d.style = StyleForType(parts.type);
  d.countdown = Countdown(parts.countDown);

  // Opened on the main window's monitor, so that it takes that monitor's DPI.
  const std::wstring title = GetWindowCaption(FindProcessWindow(::GetCurrentProcessId()));
  const HMONITOR monitor = ::MonitorFromWindow(d.owner, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(monitor, &info);
  // A hidden owner has no taskbar button; the box then needs one of its own.
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT |
                        (d.owner && ::IsWindowVisible(d.owner) ? 0 : WS_EX_APPWINDOW);
  if (!::CreateWindowExW(exStyle, ids::kWindowClass, title.c_str(), kStyle, info.rcWork.left, info.rcWork.top, 100,
                         100, d.owner, nullptr, instance_, &d)) {
    return;
  }
  d.dpi = ::GetDpiForWindow(d.hwnd) ? ::GetDpiForWindow(d.hwnd) : 96;
  CreateControls(d);
  LayOut(d, monitor);
  if (d.countdown.Running()) ::SetTimer(d.hwnd, kCountdownTimer, 1000, nullptr);

  Dialog* const outer = std::exchange(current_, &d);
  if (d.owner && ::IsWindowEnabled(d.owner)) {
    ::EnableWindow(d.owner, FALSE);
    d.ownerDisabled = true;
  }
  ::ShowWindow(d.hwnd, SW_SHOWNORMAL);
  ::SetFocus(Item(d, FocusId(d.style)));
  MakeDefault(d, FocusId(d.style));

  while (!d.done) {
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the loops further out
      Finish(d, d.preset);
      break;
    }
    if (!PreTranslate(msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  current_ = outer;
}

bool frmMsgBox::PumpUntil(const std::function<bool()>& done) {
  while (!done()) {
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (!PreTranslate(msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return true;
}

bool frmMsgBox::PreTranslate(MSG& msg) {
  Dialog* d = current_;
  if (!d || d->done || (msg.hwnd != d->hwnd && !::IsChild(d->hwnd, msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
    StopCountdown(*d);
    return true;
  }
  return ::IsDialogMessageW(d->hwnd, &msg) != FALSE;
}

}  // namespace valmora
