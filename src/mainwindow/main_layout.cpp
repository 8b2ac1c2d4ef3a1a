#include "mainwindow/main_layout.h"

#include <algorithm>

#include "mainwindow/control_ids.h"

namespace valmora {
namespace {

constexpr DesignRect kDesign[] = {
    {ids::kCmdGetCurr, 132, 60, 1155, 405},
    {ids::kCmdReopen, 1560, 60, 1155, 405},
    {ids::kCmdReopenExcelOnly, 2760, 60, 315, 405},
    {ids::kCmdReopenWordOnly, 3120, 60, 315, 405},
    {ids::kCmdReopenPowerPointOnly, 3480, 60, 315, 405},
    {ids::kCmdReopenOutlookOnly, 3840, 60, 315, 405},
    {ids::kCmdReopenNonOffOnly, 4200, 60, 315, 405},
    {ids::kCmdExecuteCmd, 4560, 60, 1155, 405},
    {ids::kCmdExit, 4560, 1730, 1155, 405},
    {ids::kLblMsg1, 240, 600, 5460, 965},
    {ids::kLblCopyright, -120, 2600, 5955, 225},
    {ids::kLblCopyrightBG, -120, 2600, 5955, 285},
    {ids::kCmdReopenOnRestart, 1608, 1730, 1155, 405},
    {ids::kCmdListUnsavedDocs, 132, 1730, 1155, 405},
    {ids::kCmdWatchMode, 3084, 1730, 1155, 405},
    {ids::kLblCmdLine, 0, 2240, 5700, 285},
    {ids::kImgCopyright, 1785, 2600, 2250, 270},
};

// Buttons of a kind share one width, so a long caption widens its whole kind.
constexpr int kWideButtons[] = {ids::kCmdGetCurr,          ids::kCmdReopen,           ids::kCmdExecuteCmd,
                                ids::kCmdExit,             ids::kCmdReopenOnRestart, ids::kCmdListUnsavedDocs,
                                ids::kCmdWatchMode};
constexpr int kAppButtons[] = {ids::kCmdReopenExcelOnly, ids::kCmdReopenWordOnly, ids::kCmdReopenPowerPointOnly,
                               ids::kCmdReopenOutlookOnly, ids::kCmdReopenNonOffOnly};

// The rows, left to right.
constexpr int kTopRow[] = {ids::kCmdGetCurr,           ids::kCmdReopen,           ids::kCmdReopenExcelOnly,
                           ids::kCmdReopenWordOnly,    ids::kCmdReopenPowerPointOnly, ids::kCmdReopenOutlookOnly,
                           ids::kCmdReopenNonOffOnly,  ids::kCmdExecuteCmd};
constexpr int kBottomRow[] = {ids::kCmdListUnsavedDocs, ids::kCmdReopenOnRestart, ids::kCmdWatchMode, ids::kCmdExit};
// How a row shorter than the widest spreads the difference over its gaps:
// the top row keeps its buttons together and Execute Cmd over Exit; the
// bottom row's buttons stay evenly spaced.
constexpr int kTopRowGapShares[] = {0, 0, 0, 0, 0, 0, 1};
constexpr int kBottomRowGapShares[] = {1, 1, 1};

const DesignRect& Design(int id) {
  for (const DesignRect& d : kDesign) {
    if (d.id == id) return d;
  }
  return kDesign[0];  // every id asked for is in the table
}

bool IsIn(std::span<const int> ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

struct Growth {
  int width = 0;   // of each button of the kind
  int height = 0;  // of the row
};

// What the kind's buttons must grow by for their widest and tallest caption.
Growth ButtonGrowth(std::span<const int> kind, const MainTextSizes& sizes) {
  Growth growth;
  for (int id : kind) {
    const auto text = sizes.texts.find(id);
    if (text == sizes.texts.end()) continue;
    const DesignRect& d = Design(id);
    growth.width = std::max(growth.width, text->second.width + 2 * sizes.captionMargin - TwipsToPixels(d.width, sizes.dpi));
    growth.height =
        std::max(growth.height, text->second.height + 2 * sizes.captionMargin - TwipsToPixels(d.height, sizes.dpi));
  }
  return growth;
}

PixelSize Needed(const MainTextSizes& sizes, int id) {
  const auto text = sizes.texts.find(id);
  return text == sizes.texts.end() ? PixelSize{} : text->second;
}

// Each control moves right by what those before it grew, and by its share
// of `slack`, what the row falls short of the widest part of the window.
void PlaceRow(std::span<const int> row, std::span<const int> gapShares, int slack, int dpi, MainLayout& layout) {
  int shares = 0;
  for (int share : gapShares) shares += share;
  int grown = 0, sharesBefore = 0;
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0) sharesBefore += gapShares[i - 1];
    PixelRect& rect = layout.controls[row[i]];
    rect.left += grown + (shares ? slack * sharesBefore / shares : 0);
    grown += rect.width - TwipsToPixels(Design(row[i]).width, dpi);
  }
}

}  // namespace

std::span<const DesignRect> MainDesign() { return kDesign; }

int TwipsToPixels(long twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

MainLayout LayOutMainWindow(const MainTextSizes& sizes) {
  auto px = [&](long twips) { return TwipsToPixels(twips, sizes.dpi); };
  const Growth wide = ButtonGrowth(kWideButtons, sizes);
  const Growth app = ButtonGrowth(kAppButtons, sizes);
  const int wideGrowth = std::max(0, wide.width), appGrowth = std::max(0, app.width);
  const int rowGrowth = std::max({0, wide.height, app.height});  // one height for every button
  const DesignRect& msg1 = Design(ids::kLblMsg1);
  const DesignRect& cmdLine = Design(ids::kLblCmdLine);
  const PixelSize summary = Needed(sizes, ids::kLblMsg1);
  const int summaryWider = std::max(0, summary.width - px(msg1.width));
  const int summaryTaller = std::max(0, summary.height - px(msg1.height));
  const int cmdLineTaller = std::max(0, Needed(sizes, ids::kLblCmdLine).height - px(cmdLine.height));

  auto widthGrowth = [&](std::span<const int> row) {
    int growth = 0;
    for (int id : row) growth += IsIn(kWideButtons, id) ? wideGrowth : appGrowth;
    return growth;
  };
  const int topRowGrowth = widthGrowth(kTopRow);
  const int bottomRowGrowth = widthGrowth(kBottomRow);
  const int wider = std::max({topRowGrowth, bottomRowGrowth, summaryWider});

  // Bands from the top: the buttons' row, the summary, the other row, the
  // command line, the strip. Each moves down by what those above it grew.
  const int belowTopRow = rowGrowth;
  const int belowSummary = belowTopRow + summaryTaller;
  const int belowBottomRow = belowSummary + rowGrowth;
  const int belowCmdLine = belowBottomRow + cmdLineTaller;

  MainLayout layout;
  for (const DesignRect& d : kDesign) {
    PixelRect rect{px(d.left), px(d.top), px(d.width), px(d.height)};
    if (IsIn(kWideButtons, d.id) || IsIn(kAppButtons, d.id)) {
      rect.width += IsIn(kWideButtons, d.id) ? wideGrowth : appGrowth;
      rect.height += rowGrowth;
      if (IsIn(kBottomRow, d.id)) rect.top += belowSummary;
    } else if (d.id == ids::kLblMsg1) {
      rect.top += belowTopRow;
      rect.width += wider;
      rect.height += summaryTaller;
    } else if (d.id == ids::kLblCmdLine) {
      rect.top += belowBottomRow;
      rect.width += wider;
      rect.height += cmdLineTaller;
    } else if (d.id == ids::kImgCopyright) {
      rect.top += belowCmdLine;
      rect.left += wider / 2;  // centred on the strip
    } else {  // the strip
      rect.top += belowCmdLine;
      rect.width += wider;
    }
    layout.controls[d.id] = rect;
  }
  PlaceRow(kTopRow, kTopRowGapShares, wider - topRowGrowth, sizes.dpi, layout);
  PlaceRow(kBottomRow, kBottomRowGapShares, wider - bottomRowGrowth, sizes.dpi, layout);
  layout.client = {px(kMainClientWidth) + wider, px(kMainClientHeight) + belowCmdLine};
  return layout;
}

}  // namespace valmora
