// frmMain's design in twips at its base size, and the layout grown from it
// so that every control shows its text whole in the user's own font.
#pragma once

#include <map>
#include <span>

namespace valmora {

// The status summary's lines: lblMsg1 always has room for this many.
inline constexpr int kMsg1Lines = 6;

struct DesignRect {
  int id;
  long left, top, width, height;  // twips
};

// The client area and every control at the base size.
inline constexpr long kMainClientWidth = 5835;  // twips
inline constexpr long kMainClientHeight = 2895;
std::span<const DesignRect> MainDesign();

struct PixelSize {
  int width = 0;
  int height = 0;
};

struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
};

// What the controls must show whole, measured in their font at `dpi`.
struct MainTextSizes {
  int dpi = 96;
  int captionMargin = 0;           // a button's room between its edges and its caption, each side
  std::map<int, PixelSize> texts;  // by control id: a caption, lblMsg1's summary, lblCmdLine's line
};

struct MainLayout {
  PixelSize client;
  std::map<int, PixelRect> controls;  // by control id, in client pixels
};

// The design scaled to the DPI, grown where a text needs it: the buttons of a
// kind widen together, the rows below the summary move down by what it grew,
// and the client area takes in both. Never smaller than the design.
MainLayout LayOutMainWindow(const MainTextSizes& sizes);

// Twips to pixels at `dpi`, rounded as MulDiv rounds.
int TwipsToPixels(long twips, int dpi);

}  // namespace valmora
