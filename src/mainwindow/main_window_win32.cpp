#include "mainwindow/main_window_win32.h"

#include <commctrl.h>

#include <utility>

#include "app/resource.h"
#include "mainwindow/control_ids.h"

namespace valmora {
namespace {

constexpr wchar_t kTitle[] = L"Valmora";
constexpr long kClientWidth = 5835;  // twips
constexpr long kClientHeight = 2895;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // fixed single border, no min/max

struct ControlLayout {
  int id;
  const wchar_t* className;
  const wchar_t* caption;
  DWORD style;
  long left, top, width, height;  // twips
};

// Toggles are drawn as buttons that stay pressed; the click does not change
// them by itself, the logon registration decides.
constexpr DWORD kToggle = WS_TABSTOP | BS_CHECKBOX | BS_PUSHLIKE;

constexpr ControlLayout kControls[] = {
    {ids::kLblMsg1, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 240, 600, 5460, 965},
    {ids::kCmdReopenOnRestart, L"BUTTON", L"&Reopen at Lg", kToggle, 1608, 1730, 1155, 405},
    {ids::kCmdWatchMode, L"BUTTON", L"&Watch Mode", kToggle, 3084, 1730, 1155, 405},
    {ids::kLblCmdLine, L"STATIC", L"", SS_CENTER | SS_NOPREFIX, 0, 2240, 5700, 285},
};

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);

UINT WindowDpi(HWND hwnd) {
  const UINT dpi = ::GetDpiForWindow(hwnd);
  return dpi ? dpi : 96;
}

}  // namespace

bool frmMain::Create(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_VALMORA));
  wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_VALMORA), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = ids::kMainWindowClass;
  if (!::RegisterClassExW(&wc)) return false;

  hwnd_ = ::CreateWindowExW(0, ids::kMainWindowClass, kTitle, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr,
                            nullptr, instance, this);
  if (!hwnd_) return false;
  dpi_ = WindowDpi(hwnd_);
  CreateControls();
  LayOut();
  return true;
}

void frmMain::CreateControls() {
  for (const ControlLayout& c : kControls) {
    ::CreateWindowExW(0, c.className, c.caption, WS_CHILD | WS_VISIBLE | c.style, 0, 0, 0, 0, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), nullptr, nullptr);
  }
}

// Sizes the window and every control for the current DPI, font included.
void frmMain::LayOut() {
  RECT frame{0, 0, TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight)};
  ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, dpi_);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  NONCLIENTMETRICSW metrics{};

  metrics.cbSize = sizeof metrics;
  if (::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_)) {
    font_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
  }
  for (const ControlLayout& c : kControls) {
    HWND control = ::GetDlgItem(hwnd_, c.id);
    ::SetWindowPos(control, nullptr, TwipsToPixels(c.left), TwipsToPixels(c.top), TwipsToPixels(c.width),
                   TwipsToPixels(c.height), SWP_NOZORDER | SWP_NOACTIVATE);
    if (font_) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  }
}

int frmMain::TwipsToPixels(long twips) const { return ::MulDiv(twips, static_cast<int>(dpi_), 1440); }

long frmMain::PixelsToTwips(int pixels) const { return ::MulDiv(pixels, 1440, static_cast<int>(dpi_)); }

LRESULT CALLBACK frmMain::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<frmMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<frmMain*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self ? self->HandleMessage(msg, wParam, lParam) : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CTLCOLORSTATIC: {
      const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (id == ids::kLblMsg1 || id == ids::kLblCmdLine) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, id == ids::kLblMsg1 ? kNavy : kDarkRed);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      LayOut();
      return 0;
    }
    case WM_CLOSE:
      if (goRunning_) {  // torn down under a running reopen it would not be: close when Go ends
        closeRequested_ = true;
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (busy_ && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
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
  if (HWND button = ::GetDlgItem(hwnd_, ids::kCmdListUnsavedDocs)) ::EnableWindow(button, enabled);
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
  if (!running && std::exchange(closeRequested_, false)) ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void frmMain::Close() {
  if (hwnd_) ::DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

void frmMain::ShowStandardMessage(const std::wstring& text, MessageIcon icon) {
  const UINT type = MB_OK | (icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0);
  ::MessageBoxW(hwnd_, text.c_str(), kTitle, type);
}

}  // namespace valmora
