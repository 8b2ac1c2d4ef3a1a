#include "mainwindow/main_window_win32.h"

#include <commctrl.h>

#include <utility>

#include "app/resource.h"
#include "library/keys.h"
#include "mainwindow/control_ids.h"
#include "mainwindow/copyright_picture_win32.h"
#include "mainwindow/main_layout_win32.h"
#include "mainwindow/main_menu_win32.h"
#include "mainwindow/readable_colours.h"
#include "mainwindow/toggle_button_win32.h"

namespace valmora {
namespace {

constexpr wchar_t kTitle[] = L"Valmora";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // fixed single border, no min/max
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kTipWidth = 320;  // pixels at 96 DPI; longer tips wrap

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);

UINT WindowDpi(HWND hwnd) {
  const UINT dpi = ::GetDpiForWindow(hwnd);
  return dpi ? dpi : 96;
}

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace

bool frmMain::Create(HINSTANCE instance) {
  instance_ = instance;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_VALMORA));
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = ids::kMainWindowClass;
  if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  hwnd_ = ::CreateWindowExW(kExStyle, ids::kMainWindowClass, kTitle, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                            nullptr, nullptr, instance, this);
  if (!hwnd_) return false;
  UniqueMenu bar = CreateMainMenuBar();
  if (bar && ::SetMenu(hwnd_, bar.get())) static_cast<void>(bar.release());  // the window destroys it
  sysTrayMenu_ = CreateSysTrayMenu();
  dpi_ = WindowDpi(hwnd_);
  highContrast_ = HighContrastOn();
  CreateControls();
  CreateTooltips();
  LayOut();
  return true;
}

HMENU frmMain::PopupMenu() const { return sysTrayMenu_ ? ::GetSubMenu(sysTrayMenu_.get(), 0) : nullptr; }

void frmMain::CreateControls() {
  for (const ControlSpec& c : MainControls()) {
    const wchar_t* className = c.kind == ControlKind::Button || c.kind == ControlKind::Toggle ? WC_BUTTONW : WC_STATICW;
    ::CreateWindowExW(0, className, c.caption, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | ControlStyle(c), 0, 0, 0, 0,
                      hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
  }
  // The badge lies on the grey strip: above it, whatever the order of creation.
  ::SetWindowPos(::GetDlgItem(hwnd_, ids::kImgCopyright), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void frmMain::CreateTooltips() {
  tooltips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_,
                                nullptr);
  if (!tooltips_) return;
  for (const ControlSpec& c : MainControls()) {
    if (!c.tooltip) continue;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(hwnd_, c.id));
    tool.lpszText = const_cast<wchar_t*>(c.tooltip);  // copied by the control
    ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A disabled button gets no mouse messages, its window does: the same
    // tip over the button's place there. LayOut keeps the place.
    tool.uFlags = TTF_SUBCLASS;
    tool.uId = static_cast<UINT_PTR>(c.id);
    ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

// Sizes the window and every control for the current DPI and message font:
// the font at its full size, the layout grown to show every text in it
// whole. The icons and the tips' font and wrapping width follow.
void frmMain::LayOut() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  UniqueFont font, tipFont;
  if (::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_)) {
    font.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    tipFont.reset(::CreateFontIndirectW(&metrics.lfStatusFont));
  }
  if (!font) font = std::move(font_);  // the one shown until now, rather than none
  const HFONT shown = font ? font.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  MainTextSizes sizes;
  if (HDC dc = ::GetDC(hwnd_)) {
    sizes = MeasureTexts(dc, shown, dpi_);
    ::ReleaseDC(hwnd_, dc);
  }
  sizes.dpi = static_cast<int>(dpi_);
  const MainLayout layout = LayOutMainWindow(sizes);

  const int clientWidth = layout.client.width, clientHeight = layout.client.height;
  RECT frame{0, 0, clientWidth, clientHeight};
  ::AdjustWindowRectExForDpi(&frame, kStyle, ::GetMenu(hwnd_) != nullptr, kExStyle, dpi_);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps onto a second line takes its height from the client area.
  RECT client{};
  if (::GetClientRect(hwnd_, &client) && client.bottom != clientHeight) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left,
                   frame.bottom - frame.top + clientHeight - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  for (const ControlSpec& c : MainControls()) {
    HWND control = ::GetDlgItem(hwnd_, c.id);
    const auto place = layout.controls.find(c.id);
    if (place != layout.controls.end()) {
      const PixelRect& r = place->second;
      ::SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(shown), TRUE);
    if (tooltips_ && c.tooltip) {
      TTTOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.hwnd = hwnd_;
      tool.uId = static_cast<UINT_PTR>(c.id);
      ::GetWindowRect(control, &tool.rect);
      ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&tool.rect), 2);
      ::SendMessageW(tooltips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  font_ = std::move(font);  // the old font goes only once no control uses it
  if (tooltips_) {
    if (tipFont) {
      ::SendMessageW(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(tipFont.get()), FALSE);
      tipFont_ = std::move(tipFont);
    }
    ::SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, ::MulDiv(kTipWidth, static_cast<int>(dpi_), 96));
  }
  LoadIcons();
}

// The icon drawn for this DPI's sizes rather than one scaled by the system.
void frmMain::LoadIcons() {
  auto load = [&](int cx, int cy) {
    return static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_VALMORA), IMAGE_ICON,
                                           ::GetSystemMetricsForDpi(cx, dpi_), ::GetSystemMetricsForDpi(cy, dpi_), 0));
  };
  UniqueIcon big(load(SM_CXICON, SM_CYICON));
  UniqueIcon small(load(SM_CXSMICON, SM_CYSMICON));
  if (big) {
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    bigIcon_ = std::move(big);  // the one shown until now goes only after the swap
  }
  if (small) {
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    smallIcon_ = std::move(small);
  }
}

int frmMain::TwipsToPixels(long twips) const { return ::MulDiv(twips, static_cast<int>(dpi_), 1440); }

long frmMain::PixelsToTwips(int pixels) const { return ::MulDiv(pixels, 1440, static_cast<int>(dpi_)); }

bool frmMain::TranslateDialogKeys(MSG& msg) {
  if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
  return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

LRESULT CALLBACK frmMain::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<frmMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<frmMain*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return self->HandleMessage(msg, wParam, lParam);
  } catch (...) {  // a handler's failure must not unwind through the system's code
    return 0;
  }
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hook_) {
    if (const std::optional<LRESULT> answer = hook_(msg, wParam, lParam)) return *answer;
  }
  switch (msg) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case DM_GETDEFID:
      return 0;  // no default button: Enter presses nothing
    case WM_NOTIFY:
      return OnCustomDraw(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != static_cast<UINT>(ids::kImgCopyright)) break;
      DrawCopyrightPicture(item->hDC, item->rcItem);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      switch (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) {
        case ids::kLblMsg1:
        case ids::kLblCmdLine: {
          const COLORREF design = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == ids::kLblMsg1 ? kNavy : kDarkRed;
          const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
          ::SetTextColor(dc, DesignOrTheme(design, ::GetSysColor(COLOR_BTNTEXT), face, highContrast_));
          ::SetBkColor(dc, face);
          return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        case ids::kLblCopyright:
        case ids::kLblCopyrightBG:
          ::SetBkColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
          return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_GRAYTEXT));
        default:
          break;
      }
      break;
    }
    case WM_CTLCOLORBTN: {
      const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (id != ids::kCmdWatchMode && id != ids::kCmdReopenOnRestart) break;
      return reinterpret_cast<LRESULT>(ToggleBackground(highContrast_));
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:  // a high-contrast theme switched on or off
      highContrast_ = HighContrastOn();
      if (msg == WM_SETTINGCHANGE && wParam == SPI_SETNONCLIENTMETRICS) LayOut();  // the message font changed
      if (tooltips_ && msg == WM_SYSCOLORCHANGE) ::SendMessageW(tooltips_, msg, wParam, lParam);
      ::InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
        return 0;
      }
      if (!HIWORD(wParam)) RestoreFocus();  // not while minimised
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      LayOut();
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) break;
      if (busy_) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      if (reinterpret_cast<HWND>(wParam) == ::GetDlgItem(hwnd_, ids::kImgCopyright)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));  // a link
        return TRUE;
      }
      break;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

// Every click, whichever control or menu it came from, goes to the handlers
// with the Shift key as it was when the click was made.
void frmMain::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  // The dialog keys turn Enter and Esc into IDOK and IDCANCEL; no control
  // or menu entry has those ids, so these keys press nothing.
  if (id == IDOK || id == IDCANCEL) return;

  std::optional<MainCommand> command;
  if (HWND control = reinterpret_cast<HWND>(lParam)) {
    const ControlSpec* layout = FindControl(id);
    // BN_CLICKED and STN_CLICKED are both 0. A disabled control can still be
    // sent a click message; it must not run its command.
    if (!layout || code != BN_CLICKED || !::IsWindowEnabled(control)) return;
    command = layout->command;
  } else if (code == 0) {  // a menu entry
    const UINT state = ::GetMenuState(::GetMenu(hwnd_), static_cast<UINT>(id), MF_BYCOMMAND);
    const bool grayed = state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED));
    if (grayed) return;
    command = MenuCommand(id);
  }
  if (command && commands_) commands_->OnCommand(*command, IsKeyDown(L"+", [](int key) { return ::GetKeyState(key); }));
}

LRESULT frmMain::OnCustomDraw(const NMHDR& header) {
  const int id = static_cast<int>(header.idFrom);
  if (header.code != NM_CUSTOMDRAW || (id != ids::kCmdWatchMode && id != ids::kCmdReopenOnRestart)) return 0;
  const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
  if (draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
  DrawToggle(header.hwndFrom, draw.hdc, draw.rc, highContrast_);
  return CDRF_SKIPDEFAULT;
}

// Focus goes back to the control that had it, or to the first one that can
// take it, as in a dialog.
void frmMain::RestoreFocus() {
  HWND target = lastFocus_;
  if (!target || !::IsChild(hwnd_, target) || !::IsWindowEnabled(target) || !::IsWindowVisible(target)) {
    target = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  }
  if (target) ::SetFocus(target);
}

void frmMain::SetCmdLineCaption(const std::wstring& text) { ::SetDlgItemTextW(hwnd_, ids::kLblCmdLine, text.c_str()); }

void frmMain::SetMsg1Caption(const std::wstring& text) { ::SetDlgItemTextW(hwnd_, ids::kLblMsg1, text.c_str()); }

void frmMain::SetWatchModePressed(bool pressed) {
  ::CheckDlgButton(hwnd_, ids::kCmdWatchMode, pressed ? BST_CHECKED : BST_UNCHECKED);
}

bool frmMain::IsWatchModePressed() const { return ::IsDlgButtonChecked(hwnd_, ids::kCmdWatchMode) == BST_CHECKED; }

void frmMain::SetReopenOnRestartPressed(bool pressed) {
  ::CheckDlgButton(hwnd_, ids::kCmdReopenOnRestart, pressed ? BST_CHECKED : BST_UNCHECKED);
}

bool frmMain::IsReopenOnRestartPressed() const {
  return ::IsDlgButtonChecked(hwnd_, ids::kCmdReopenOnRestart) == BST_CHECKED;
}

// The primary screen, in twips at its own DPI.
TwipSize frmMain::ScreenSize() const {
  return {PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN)), PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN))};
}

TwipSize frmMain::WindowSize() const {
  RECT rect;
  ::GetWindowRect(hwnd_, &rect);
  return {PixelsToTwips(rect.right - rect.left), PixelsToTwips(rect.bottom - rect.top)};
}

void frmMain::MoveTo(long leftTwips, long topTwips) {
  ::SetWindowPos(hwnd_, nullptr, TwipsToPixels(leftTwips), TwipsToPixels(topTwips), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::Display() {
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
  ::UpdateWindow(hwnd_);
}

void frmMain::SetListUnsavedEnabled(bool enabled) {
  listUnsavedEnabled_ = enabled;
  if (!goRunning_) ::EnableWindow(::GetDlgItem(hwnd_, ids::kCmdListUnsavedDocs), enabled);
}

void frmMain::HideWindow() { ::ShowWindow(hwnd_, SW_HIDE); }

// The hourglass stays while the pointer moves over the window, not only
// until the next mouse move.
void frmMain::SetScreenBusy(bool busy) {
  busy_ = busy;
  ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

std::wstring frmMain::Msg1Caption() const {
  HWND label = ::GetDlgItem(hwnd_, ids::kLblMsg1);
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(label)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
  return text;
}

void frmMain::SetTopmost(bool topmost) {
  ::SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (topmost ? SWP_SHOWWINDOW : 0));
}

void frmMain::SetGoRunning(bool running) {
  goRunning_ = running;
  LockCommands(running);
}

void frmMain::LockCommands(bool locked) {
  HWND focus = ::GetFocus();
  const bool focusInside = focus && ::IsChild(hwnd_, focus);
  if (locked && focusInside) lastFocus_ = focus;
  for (const ControlSpec& c : MainControls()) {
    if (!LockedWhileGoRuns(c)) continue;
    const bool enable = !locked && (c.id != ids::kCmdListUnsavedDocs || listUnsavedEnabled_);
    ::EnableWindow(::GetDlgItem(hwnd_, c.id), enable);
  }
  ::EnableMenuItem(::GetMenu(hwnd_), ids::kMnuFileManualAdd, MF_BYCOMMAND | (locked ? MF_GRAYED : MF_ENABLED));
  // Keys keep working while the focused button is locked: Exit takes the
  // focus meanwhile, and gives it back afterwards.
  if (locked && focusInside && !::IsWindowEnabled(focus)) {
    ::SetFocus(::GetDlgItem(hwnd_, ids::kCmdExit));
  } else if (!locked && focus == ::GetDlgItem(hwnd_, ids::kCmdExit) && lastFocus_ && lastFocus_ != focus &&
             ::IsWindowEnabled(lastFocus_)) {
    ::SetFocus(lastFocus_);
  }
}

void frmMain::Close() {
  if (hwnd_) ::DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

void frmMain::ShowRunningInstance() {
  struct Search {
    DWORD self = ::GetCurrentProcessId();
    HWND found = nullptr;
    DWORD process = 0;
  } search;
  ::EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(parameter);
        wchar_t name[64] = {};
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == s.self || !::GetClassNameW(window, name, 64) || std::wcscmp(name, ids::kMainWindowClass) != 0) {
          return TRUE;
        }
        s.found = window;
        s.process = process;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  // The user has just started this one: the right to the foreground passes on.
  ::AllowSetForegroundWindow(search.process);
  ::PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(ids::kMnuPopupRestore, 0), 0);
}

// Owned by a window that was never shown, the box would have no taskbar
// button and could be lost behind other windows while the hidden process
// holds the guard: without a visible owner it stands on its own, in front.
void frmMain::ShowStandardMessage(const std::wstring& text, MessageIcon icon) {
  const bool ownerShown = hwnd_ && ::IsWindowVisible(hwnd_);
  const UINT type = MB_OK | (icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0) |
                    (ownerShown ? 0 : MB_SETFOREGROUND | MB_TASKMODAL);
  ::MessageBoxW(ownerShown ? hwnd_ : nullptr, text.c_str(), kTitle, type);
}

}  // namespace valmora
