#include "mainwindow/input_box_win32.h"

#include <algorithm>
#include <vector>

#include "library/modal_dialog_win32.h"
#include "library/unique_handle_win32.h"
#include "mainwindow/input_box_ids.h"

namespace valmora {

namespace ids = input_box_ids;

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

// The layout in twips.
constexpr long kClientWidth = 6120;
constexpr long kMargin = 180;
constexpr long kGap = 120;
constexpr long kButtonWidth = 1140;
constexpr long kButtonHeight = 375;
constexpr long kButtonLeft = kClientWidth - kMargin - kButtonWidth;
constexpr long kPromptWidth = kButtonLeft - 2 * kMargin;
constexpr long kEditHeight = 345;

// The longest command line the system starts.
constexpr WPARAM kMaxText = 32767;

struct Box {
  HWND hwnd = nullptr;
  UINT dpi = 96;
  std::wstring prompt;
  bool done = false;
  bool confirmed = false;
  std::wstring text;
  HWND lastFocus = nullptr;
  UniqueFont font;
};

HWND Item(const Box& b, int id) { return ::GetDlgItem(b.hwnd, id); }
int Px(const Box& b, long twips) { return TwipsToPixels(twips, b.dpi); }

void Place(const Box& b, int id, int left, int top, int width, int height) {
  ::SetWindowPos(Item(b, id), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The prompt's height in pixels, wrapped at the label's width.
int PromptHeight(const Box& b) {
  HDC dc = ::GetDC(b.hwnd);
  const HGDIOBJ old = ::SelectObject(dc, b.font.get());
  RECT rect{0, 0, Px(b, kPromptWidth), 0};
  ::DrawTextW(dc, b.prompt.c_str(), static_cast<int>(b.prompt.size()), &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(b.hwnd, dc);
  return std::max<int>(rect.bottom - rect.top, metrics.tmHeight);
}

int FontHeight(const Box& b) {
  HDC dc = ::GetDC(b.hwnd);
  const HGDIOBJ old = ::SelectObject(dc, b.font.get());
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(b.hwnd, dc);
  return metrics.tmHeight;
}

// Everything that depends on the DPI; returns the client size in pixels.
SIZE LayOut(Box& b) {
  b.font.reset(CreateMessageFont(b.dpi));
  for (int id : {ids::kLblPrompt, ids::kTxtInput, ids::kCmdOk, ids::kCmdCancel}) {
    ::SendMessageW(Item(b, id), WM_SETFONT, reinterpret_cast<WPARAM>(b.font.get()), TRUE);
  }
  const int margin = Px(b, kMargin);
  const int buttonLeft = Px(b, kButtonLeft), buttonWidth = Px(b, kButtonWidth);
  const int buttonHeight = std::max(Px(b, kButtonHeight), FontHeight(b) + Px(b, 150));
  const int promptHeight = PromptHeight(b);
  Place(b, ids::kLblPrompt, margin, margin, Px(b, kPromptWidth), promptHeight);
  Place(b, ids::kCmdOk, buttonLeft, margin, buttonWidth, buttonHeight);
  const int cancelTop = margin + buttonHeight + Px(b, kGap);
  Place(b, ids::kCmdCancel, buttonLeft, cancelTop, buttonWidth, buttonHeight);

  // Room for the text and the edit's own border and margins.
  const int editHeight = std::max(Px(b, kEditHeight), FontHeight(b) + Px(b, 120));
  const int editTop = std::max(margin + promptHeight, cancelTop + buttonHeight) + margin;
  const int width = Px(b, kClientWidth);
  Place(b, ids::kTxtInput, margin, editTop, width - 2 * margin, editHeight);
  return SIZE{width, editTop + editHeight + margin};
}

void Finish(Box& b, bool confirmed) {
  if (b.done) return;
  b.confirmed = confirmed;
  if (confirmed) {
    HWND edit = Item(b, ids::kTxtInput);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
    const int length = ::GetWindowTextW(edit, buffer.data(), static_cast<int>(buffer.size()));
    b.text.assign(buffer.data(), static_cast<std::size_t>(std::max(0, length)));
  }
  b.done = true;  // the modal loop takes the window down
}

// The focused button is the default one, so Enter presses what has the focus;
// elsewhere Enter is OK.
void MakeDefault(const Box& b, int id) {
  for (int button : {ids::kCmdOk, ids::kCmdCancel}) {
    ::SendMessageW(Item(b, button), BM_SETSTYLE, button == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* b = static_cast<Box*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(b));
    b->hwnd = hwnd;
  }
  auto* b = reinterpret_cast<Box*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!b) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if (id == ids::kTxtInput) {
        if (code == EN_SETFOCUS) MakeDefault(*b, ids::kCmdOk);
        break;
      }
      if (code == BN_SETFOCUS) {
        MakeDefault(*b, id);
        break;
      }
      if (code != BN_CLICKED) break;
      if (id == ids::kCmdOk) Finish(*b, true);
      else if (id == ids::kCmdCancel) Finish(*b, false);
      return 0;
    }
    case DM_GETDEFID: {
      const int focused = ::GetDlgCtrlID(::GetFocus());
      return MAKELRESULT(focused == ids::kCmdCancel ? ids::kCmdCancel : ids::kCmdOk, DC_HASDEFID);
    }
    case WM_CLOSE:
      Finish(*b, false);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        b->lastFocus = ::GetFocus();
      } else if (b->lastFocus && ::IsChild(hwnd, b->lastFocus)) {
        ::SetFocus(b->lastFocus);
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {  // the prompt on the face colour under any theme
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED: {
      b->dpi = HIWORD(wParam);
      MoveToSuggestedRect(hwnd, LayOut(*b), b->dpi, *reinterpret_cast<const RECT*>(lParam));
      return 0;
    }
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND AddControl(const Box& b, int id, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle = 0) {
  return ::CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, b.hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

}  // namespace

std::wstring Win32InputBox::Ask(const std::wstring& prompt, const std::wstring& title,
                                const std::wstring& defaultText) {
  if (!RegisterDialogWindowClass(instance_, ids::kWindowClass, BoxProc)) return {};
  Box b;
  b.prompt = prompt;
  HWND owner = owner_ && ::IsWindow(owner_) ? owner_ : nullptr;
  const RECT work = OwnerWorkArea(owner);
  // A hidden owner has no taskbar button; the box then needs one of its own.
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT |
                        (owner && ::IsWindowVisible(owner) ? 0 : WS_EX_APPWINDOW);
  // Created on the owner's monitor, so that it takes that monitor's DPI.
  if (!::CreateWindowExW(exStyle, ids::kWindowClass, title.c_str(), kStyle, work.left, work.top, 100, 100, owner,
                         nullptr, instance_, &b)) {
    return {};
  }
  b.dpi = WindowDpi(b.hwnd);
  // Tab order: the edit, OK, Cancel; the prompt is not a stop.
  AddControl(b, ids::kLblPrompt, L"STATIC", prompt.c_str(), SS_LEFT | SS_NOPREFIX);
  HWND edit = AddControl(b, ids::kTxtInput, L"EDIT", defaultText.c_str(), WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
                         WS_EX_CLIENTEDGE);
  ::SendMessageW(edit, EM_SETLIMITTEXT, kMaxText, 0);
  ::SetWindowTextW(edit, defaultText.c_str());  // again: the limit was lower when it was created
  AddControl(b, ids::kCmdOk, L"BUTTON", L"&OK", WS_TABSTOP | BS_DEFPUSHBUTTON);
  AddControl(b, ids::kCmdCancel, L"BUTTON", L"&Cancel", WS_TABSTOP | BS_PUSHBUTTON);
  const SIZE client = LayOut(b);
  SizeAndCentre(b.hwnd, client.cx, client.cy, work);

  ::ShowWindow(b.hwnd, SW_SHOWNORMAL);
  ::SetFocus(edit);
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  RunModal(b.hwnd, owner, b.done);
  return b.confirmed ? b.text : std::wstring();
}

}  // namespace valmora
