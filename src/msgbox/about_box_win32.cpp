#include "msgbox/about_box_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "library/modal_dialog_win32.h"
#include "library/unique_handle_win32.h"
#include "msgbox/about_ids.h"
#include "msgbox/about_links.h"

namespace valmora {

namespace ids = about_ids;

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr long kClientWidth = 5250;
constexpr long kClientHeight = 3375;

struct TwipRect {
  long left, top, width, height;
};

struct Placement {
  int id;
  TwipRect rect;
};

// The layout in twips; labels grow when the font needs more room.
constexpr Placement kLayout[] = {
    {ids::kImgIcon, {105, 120, 480, 480}},      {ids::kLblVersion, {795, 180, 4215, 285}},
    {ids::kLblCopyright, {795, 1110, 4215, 285}}, {ids::kLabel1, {240, 1935, 465, 225}},
    {ids::kHlkHome, {825, 1905, 4215, 225}},     {ids::kLabel2, {240, 2250, 465, 225}},
    {ids::kHlkEmail, {825, 2220, 4215, 225}},    {ids::kCmdOk, {2250, 2865, 825, 405}},
};

// The etched separators: a shadow line with a highlight line below it.
struct Separator {
  long top, left, right;
};
constexpr Separator kSeparators[] = {{840, 0, 5340}, {1650, 30, 5370}};

struct frmAbout {
  HWND hwnd = nullptr;
  Shell* shell = nullptr;
  UINT dpi = 96;
  HICON sourceIcon = nullptr;
  std::wstring homeTarget, emailTarget;
  bool done = false;
  HWND lastFocus = nullptr;
  UniqueFont font;
  UniqueIcon icon;
};

HWND Item(const frmAbout& f, int id) { return ::GetDlgItem(f.hwnd, id); }
int Px(const frmAbout& f, long twips) { return TwipsToPixels(twips, f.dpi); }

bool IsLink(int id) { return id == ids::kHlkHome || id == ids::kHlkEmail; }

// The pixels a label's text takes in the box's font.
SIZE TextSize(const frmAbout& f, HWND label) {
  std::vector<wchar_t> text(static_cast<std::size_t>(::GetWindowTextLengthW(label)) + 1, L'\0');
  const int length = ::GetWindowTextW(label, text.data(), static_cast<int>(text.size()));
  HDC dc = ::GetDC(f.hwnd);
  const HGDIOBJ old = ::SelectObject(dc, f.font.get());
  SIZE size{0, 0};
  ::GetTextExtentPoint32W(dc, text.data(), length, &size);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(f.hwnd, dc);
  size.cy = metrics.tmHeight;
  return size;
}

bool IsLabel(int id) {
  return id == ids::kLblVersion || id == ids::kLblCopyright || id == ids::kLabel1 || id == ids::kLabel2;
}

// How far a label may grow to the right: "Web:" and "Email:" up to the
// links, the others up to the right margin.
long RightLimit(int id) {
  constexpr long kLinkLeft = 825, kGap = 30, kMargin = 105;
  return id == ids::kLabel1 || id == ids::kLabel2 ? kLinkLeft - kGap : kClientWidth - kMargin;
}

// The caller's icon drawn afresh at this size: from its resource when it
// came from one, else scaled.
HICON IconAtSize(HICON source, int size) {
  if (!source) return nullptr;
  if (HANDLE copy = ::CopyImage(source, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE)) return static_cast<HICON>(copy);
  return static_cast<HICON>(::CopyImage(source, IMAGE_ICON, size, size, 0));
}

void LayOut(frmAbout& f) {
  f.font.reset(CreateMessageFont(f.dpi));
  for (const Placement& p : kLayout) {
    HWND control = Item(f, p.id);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(f.font.get()), TRUE);
    int width = Px(f, p.rect.width), height = Px(f, p.rect.height);
    if (IsLabel(p.id) || IsLink(p.id)) {
      // A font larger than the design's grows a label rather than cut it.
      const SIZE text = TextSize(f, control);
      height = std::max<int>(height, text.cy);
      if (IsLabel(p.id)) {
        width = std::min(std::max<int>(width, text.cx), Px(f, RightLimit(p.id) - p.rect.left));
      }
    }
    ::SetWindowPos(control, nullptr, Px(f, p.rect.left), Px(f, p.rect.top), width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  f.icon.reset(IconAtSize(f.sourceIcon, Px(f, 480)));
  ::SendMessageW(Item(f, ids::kImgIcon), STM_SETICON, reinterpret_cast<WPARAM>(f.icon.get()), 0);
  ::InvalidateRect(f.hwnd, nullptr, TRUE);
}

void PaintSeparators(const frmAbout& f, HDC dc) {
  const int thickness = std::max(1, Px(f, 15));
  for (const Separator& s : kSeparators) {
    const int top = Px(f, s.top), left = Px(f, s.left), right = Px(f, s.right);
    RECT shadow{left, top, right, top + thickness};
    RECT highlight{left, top + thickness, right, top + 2 * thickness};
    ::FillRect(dc, &shadow, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::FillRect(dc, &highlight, ::GetSysColorBrush(COLOR_3DHILIGHT));
  }
}

void OpenLink(const frmAbout& f, int id) {
  if (id == ids::kHlkHome) f.shell->Open(f.homeTarget, ShowWindowAs::Normal);
  if (id == ids::kHlkEmail) f.shell->Open(f.emailTarget, ShowWindowAs::Normal);
}

LRESULT CALLBACK AboutProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* f = static_cast<frmAbout*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
    f->hwnd = hwnd;
  }
  auto* f = reinterpret_cast<frmAbout*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!f) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == ids::kCmdOk || id == IDCANCEL) {
        if (HIWORD(wParam) == BN_CLICKED) f->done = true;
        return 0;
      }
      if (IsLink(id)) OpenLink(*f, id);  // Enter on a link, through DM_GETDEFID
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if ((header->code == NM_CLICK || header->code == NM_RETURN) && IsLink(static_cast<int>(header->idFrom))) {
        OpenLink(*f, static_cast<int>(header->idFrom));
        return 0;
      }
      break;
    }
    case DM_GETDEFID: {  // Enter opens a focused link, else closes
      const int focused = ::GetDlgCtrlID(::GetFocus());
      return MAKELRESULT(IsLink(focused) ? focused : ids::kCmdOk, DC_HASDEFID);
    }
    case WM_CLOSE:
      f->done = true;
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        f->lastFocus = ::GetFocus();
      } else if (f->lastFocus && ::IsChild(hwnd, f->lastFocus)) {
        ::SetFocus(f->lastFocus);
        return 0;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(hwnd, &paint);
      PaintSeparators(*f, dc);
      ::EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {  // labels and links on the face colour under any theme
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED: {
      f->dpi = HIWORD(wParam);
      LayOut(*f);
      MoveToSuggestedRect(hwnd, {Px(*f, kClientWidth), Px(*f, kClientHeight)}, f->dpi,
                          *reinterpret_cast<const RECT*>(lParam));
      return 0;
    }
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND AddControl(const frmAbout& f, int id, const wchar_t* className, const std::wstring& text, DWORD style) {
  return ::CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, f.hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

// The link control reads its text as markup: one anchor around the caption.
std::wstring LinkMarkup(const std::wstring& caption) { return L"<a>" + caption + L"</a>"; }

int CurrentYear() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return now.wYear;
}

}  // namespace

void ShowAboutBox(HWND owner, Shell& shell, const std::wstring& pstrName, const std::wstring& pstrVersion,
                  const std::wstring& pstrCompany, const std::wstring& pstrHome, const std::wstring& pstrEmail,
                  const std::wstring& pstrSubject, HICON picIcon) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LINK_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (!RegisterDialogWindowClass(instance, ids::kWindowClass, AboutProc)) return;

  frmAbout f;
  f.shell = &shell;
  f.sourceIcon = picIcon;
  f.homeTarget = HomeLinkTarget(pstrHome);
  f.emailTarget = EmailLinkTarget(pstrEmail, pstrSubject);
  owner = owner && ::IsWindow(owner) ? owner : nullptr;
  const RECT work = OwnerWorkArea(owner);
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT |
                        (owner && ::IsWindowVisible(owner) ? 0 : WS_EX_APPWINDOW);
  const std::wstring title = L"About " + pstrName;
  // Created on the owner's monitor, so that it takes that monitor's DPI.
  if (!::CreateWindowExW(exStyle, ids::kWindowClass, title.c_str(), kStyle, work.left, work.top, 100, 100, owner,
                         nullptr, instance, &f)) {
    return;
  }
  f.dpi = WindowDpi(f.hwnd);

  AddControl(f, ids::kImgIcon, L"STATIC", L"", SS_ICON | SS_CENTERIMAGE);
  AddControl(f, ids::kLblVersion, L"STATIC", pstrName + L"  v" + pstrVersion, SS_LEFT | SS_NOPREFIX);
  AddControl(f, ids::kLblCopyright, L"STATIC",
             L"Copyright \u00A9 " + std::to_wstring(CurrentYear()) + L" " + pstrCompany, SS_LEFT | SS_NOPREFIX);
  AddControl(f, ids::kLabel1, L"STATIC", L"Web:", SS_LEFT | SS_NOPREFIX);
  AddControl(f, ids::kHlkHome, WC_LINK, LinkMarkup(pstrHome), WS_TABSTOP);
  AddControl(f, ids::kLabel2, L"STATIC", L"Email:", SS_LEFT | SS_NOPREFIX);
  AddControl(f, ids::kHlkEmail, WC_LINK, LinkMarkup(EmailCaption(pstrEmail)), WS_TABSTOP);
  HWND ok = AddControl(f, ids::kCmdOk, L"BUTTON", L"&Ok", WS_TABSTOP | BS_DEFPUSHBUTTON);
  LayOut(f);
  SizeAndCentre(f.hwnd, Px(f, kClientWidth), Px(f, kClientHeight), work);

  ::ShowWindow(f.hwnd, SW_SHOWNORMAL);
  ::SetFocus(ok);
  RunModal(f.hwnd, owner, f.done);
}

}  // namespace valmora
