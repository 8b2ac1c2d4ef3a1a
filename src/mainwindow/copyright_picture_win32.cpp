#include "mainwindow/copyright_picture_win32.h"

#include "library/unique_handle_win32.h"

namespace valmora {
namespace {

constexpr COLORREF kBadge = RGB(28, 58, 94);     // deep blue
constexpr COLORREF kEdge = RGB(120, 160, 200);   // a lighter rim of the same blue
constexpr COLORREF kAccent = RGB(240, 176, 64);  // amber dot before the name
constexpr COLORREF kText = RGB(255, 255, 255);
constexpr wchar_t kName[] = L"\u00A9 Corvellan";

// Selects a GDI object for the lifetime of the scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~Selected() { ::SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

void DrawCopyrightPicture(HDC dc, const RECT& rect) {
  const int height = rect.bottom - rect.top;
  const int width = rect.right - rect.left;
  if (height <= 2 || width <= 2) return;

  // The strip's grey shows around the rounded corners.
  ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_GRAYTEXT));
  UniqueBrush badge(::CreateSolidBrush(kBadge));
  UniquePen edge(::CreatePen(PS_SOLID, 1, kEdge));
  if (badge && edge) {
    Selected brush(dc, badge.get());
    Selected pen(dc, edge.get());
    ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, height, height);
  }

  const int dot = height / 3;
  const int dotLeft = rect.left + height / 2;
  const int dotTop = rect.top + (height - dot) / 2;
  UniqueBrush amber(::CreateSolidBrush(kAccent));
  if (amber) {
    Selected brush(dc, amber.get());
    Selected pen(dc, ::GetStockObject(NULL_PEN));
    ::Ellipse(dc, dotLeft, dotTop, dotLeft + dot + 1, dotTop + dot + 1);
  }

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW face = metrics.lfMessageFont;
  face.lfHeight = -(height * 2 / 3);
  face.lfWidth = 0;
  face.lfWeight = FW_SEMIBOLD;
  face.lfQuality = CLEARTYPE_QUALITY;
  UniqueFont font(::CreateFontIndirectW(&face));
  Selected selectedFont(dc, font ? static_cast<HGDIOBJ>(font.get()) : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, kText);
  RECT text = rect;
  text.left = dotLeft + dot;
  ::DrawTextW(dc, kName, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace valmora
