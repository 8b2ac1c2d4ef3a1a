#include "mainwindow/toggle_button_win32.h"

#include "library/unique_handle_win32.h"
#include "mainwindow/readable_colours.h"

namespace valmora {

namespace {

COLORREF Mix(COLORREF a, COLORREF b) {
  return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2, (GetBValue(a) + GetBValue(b)) / 2);
}

// Whether the toggles keep their own active-border face.
bool DesignFace(bool highContrast) {
  const COLORREF border = ::GetSysColor(COLOR_ACTIVEBORDER);
  return DesignOrTheme(border, ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNTEXT), highContrast) == border;
}

}  // namespace

HBRUSH ToggleBackground(bool highContrast) {
  return ::GetSysColorBrush(DesignFace(highContrast) ? COLOR_ACTIVEBORDER : COLOR_BTNFACE);
}

// A toggle in the active-border colour: raised when off, sunken and lighter
// while its option is on, so that it reads as a button that stays pressed.
// On the theme's button face the sunken edge alone shows it on.
void DrawToggle(HWND button, HDC dc, RECT rect, bool highContrast) {
  const bool on = ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
  const bool down = on || (::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
  if (DesignFace(highContrast)) {
    const COLORREF border = ::GetSysColor(COLOR_ACTIVEBORDER);
    UniqueBrush face(::CreateSolidBrush(on ? Mix(border, ::GetSysColor(COLOR_3DHILIGHT)) : border));
    ::FillRect(dc, &rect, face ? face.get() : ::GetSysColorBrush(COLOR_ACTIVEBORDER));
  } else {
    ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  ::DrawEdge(dc, &rect, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

  wchar_t caption[64] = {};
  ::GetWindowTextW(button, caption, 64);
  const LRESULT ui = ::SendMessageW(button, WM_QUERYUISTATE, 0, 0);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(button, WM_GETFONT, 0, 0)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(::IsWindowEnabled(button) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  RECT text = rect;
  if (down) ::OffsetRect(&text, 1, 1);
  ::DrawTextW(dc, caption, -1, &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | ((ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0));
  ::SelectObject(dc, old);
  if (::GetFocus() == button && !(ui & UISF_HIDEFOCUS)) {
    ::InflateRect(&rect, -2, -2);
    ::DrawFocusRect(dc, &rect);
  }
}

}  // namespace valmora
