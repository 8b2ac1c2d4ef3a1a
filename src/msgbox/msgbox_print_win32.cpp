#include "msgbox/msgbox_print_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "library/unique_handle_win32.h"

namespace valmora {
namespace {

struct DcTraits {
  using Type = HDC;
  static HDC Invalid() { return nullptr; }
  static void Close(HDC dc) { ::DeleteDC(dc); }
};
using UniqueDc = UniqueHandle<DcTraits>;

struct GlobalTraits {
  using Type = HGLOBAL;
  static HGLOBAL Invalid() { return nullptr; }
  static void Close(HGLOBAL memory) { ::GlobalFree(memory); }
};
using UniqueGlobal = UniqueHandle<GlobalTraits>;

void Box(HDC dc, int left, int top, int right, int bottom, COLORREF fill) {
  UniqueBrush brush(::CreateSolidBrush(fill));
  const HGDIOBJ oldBrush = ::SelectObject(dc, brush.get());
  ::Rectangle(dc, left, top, right, bottom);
  ::SelectObject(dc, oldBrush);
}

// Draws on a 16-unit grid scaled to size: paper, body, tray, a green light.
void DrawPrinter(HDC dc, int size, bool mask) {
  auto at = [size](int units) { return ::MulDiv(units, size, 16); };
  const COLORREF ink = mask ? RGB(0, 0, 0) : RGB(64, 64, 64);
  const COLORREF paper = mask ? RGB(0, 0, 0) : RGB(255, 255, 255);
  const COLORREF body = mask ? RGB(0, 0, 0) : RGB(176, 176, 176);
  UniqueHandle<GdiTraits<HPEN>> pen(::CreatePen(PS_SOLID, std::max(1, at(1)), ink));
  const HGDIOBJ oldPen = ::SelectObject(dc, pen.get());
  Box(dc, at(4), at(1), at(12), at(7), paper);
  Box(dc, at(1), at(6), at(15), at(12), body);
  Box(dc, at(4), at(10), at(12), at(15), paper);
  if (!mask) {
    UniqueBrush green(::CreateSolidBrush(RGB(0, 160, 0)));
    RECT light{at(12), at(8), at(14), at(9) + 1};
    ::FillRect(dc, &light, green.get());
  }
  ::SelectObject(dc, oldPen);
}

}  // namespace

HICON CreatePrinterIcon(int size) {
  HDC screen = ::GetDC(nullptr);
  UniqueDc dc(::CreateCompatibleDC(screen));
  UniqueBitmap color(::CreateCompatibleBitmap(screen, size, size));
  ::ReleaseDC(nullptr, screen);
  UniqueBitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
  if (!dc || !color || !mask) return nullptr;

  RECT all{0, 0, size, size};
  HGDIOBJ old = ::SelectObject(dc.get(), mask.get());
  ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));  // white: see-through
  DrawPrinter(dc.get(), size, true);
  ::SelectObject(dc.get(), color.get());
  ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  DrawPrinter(dc.get(), size, false);
  ::SelectObject(dc.get(), old);

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask.get();
  info.hbmColor = color.get();
  return ::CreateIconIndirect(&info);  // copies both bitmaps
}

void PrintWindowImage(HWND window) {
  RECT rect;
  if (!::GetWindowRect(window, &rect)) return;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;

  // The window as it is on screen, as a device-independent bitmap.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<BYTE> bits(static_cast<std::size_t>((width * 3 + 3) / 4 * 4) * height);
  {
    HDC windowDc = ::GetWindowDC(window);
    UniqueDc memory(::CreateCompatibleDC(windowDc));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(windowDc, width, height));
    if (memory && bitmap) {
      const HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
      if (!::PrintWindow(window, memory.get(), 0)) ::BitBlt(memory.get(), 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
      ::SelectObject(memory.get(), old);
      ::GetDIBits(memory.get(), bitmap.get(), 0, height, bits.data(), &info, DIB_RGB_COLORS);
    }
    ::ReleaseDC(window, windowDc);
  }

  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window;
  dialog.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
  if (!::PrintDlgW(&dialog)) return;  // no default printer
  UniqueGlobal devMode(dialog.hDevMode), devNames(dialog.hDevNames);
  UniqueDc printer(dialog.hDC);
  if (!printer) return;

  // The same physical size as on screen.
  const UINT windowDpi = ::GetDpiForWindow(window);
  const int screenDpi = windowDpi ? static_cast<int>(windowDpi) : 96;
  const int printWidth = ::MulDiv(width, ::GetDeviceCaps(printer.get(), LOGPIXELSX), screenDpi);
  const int printHeight = ::MulDiv(height, ::GetDeviceCaps(printer.get(), LOGPIXELSY), screenDpi);
  DOCINFOW document{};
  document.cbSize = sizeof document;
  document.lpszDocName = L"Message";
  if (::StartDocW(printer.get(), &document) <= 0) return;
  if (::StartPage(printer.get()) > 0) {
    ::StretchDIBits(printer.get(), 0, 0, printWidth, printHeight, 0, 0, width, height, bits.data(), &info,
                    DIB_RGB_COLORS, SRCCOPY);
    ::EndPage(printer.get());
    ::EndDoc(printer.get());
  } else {
    ::AbortDoc(printer.get());
  }
}

}  // namespace valmora
