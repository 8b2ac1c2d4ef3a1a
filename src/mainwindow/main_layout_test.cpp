#include "mainwindow/main_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "mainwindow/control_ids.h"

namespace valmora {
namespace {

constexpr int kTopRow[] = {ids::kCmdGetCurr,          ids::kCmdReopen,           ids::kCmdReopenExcelOnly,
                           ids::kCmdReopenWordOnly,   ids::kCmdReopenPowerPointOnly, ids::kCmdReopenOutlookOnly,
                           ids::kCmdReopenNonOffOnly, ids::kCmdExecuteCmd};
constexpr int kBottomRow[] = {ids::kCmdListUnsavedDocs, ids::kCmdReopenOnRestart, ids::kCmdWatchMode, ids::kCmdExit};
constexpr int kAppButtons[] = {ids::kCmdReopenExcelOnly, ids::kCmdReopenWordOnly, ids::kCmdReopenPowerPointOnly,
                               ids::kCmdReopenOutlookOnly, ids::kCmdReopenNonOffOnly};

bool OnTheStrip(int id) { return id == ids::kLblCopyright || id == ids::kLblCopyrightBG || id == ids::kImgCopyright; }
bool IsButton(int id) {
  return std::find(std::begin(kTopRow), std::end(kTopRow), id) != std::end(kTopRow) ||
         std::find(std::begin(kBottomRow), std::end(kBottomRow), id) != std::end(kBottomRow);
}

// The captions as a font of `height` pixels, `letter` pixels a letter, measures them.
MainTextSizes Texts(int dpi, int height, int letter, int summaryWidth, int summaryLines = kMsg1Lines) {
  MainTextSizes sizes{dpi, 2 * dpi / 96, {}};
  const std::pair<int, int> captions[] = {
      {ids::kCmdGetCurr, 8},         {ids::kCmdReopen, 10},          {ids::kCmdReopenExcelOnly, 1},
      {ids::kCmdReopenWordOnly, 1},  {ids::kCmdReopenPowerPointOnly, 1}, {ids::kCmdReopenOutlookOnly, 1},
      {ids::kCmdReopenNonOffOnly, 1}, {ids::kCmdExecuteCmd, 11},     {ids::kCmdExit, 4},
      {ids::kCmdReopenOnRestart, 12}, {ids::kCmdListUnsavedDocs, 13}, {ids::kCmdWatchMode, 10},
  };
  for (const auto& [id, letters] : captions) sizes.texts[id] = {letters * letter, height};
  sizes.texts[ids::kLblMsg1] = {summaryWidth, summaryLines * height};
  sizes.texts[ids::kLblCmdLine] = {0, height};
  return sizes;
}

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.Right() && b.left < a.Right() && a.top < b.Bottom() && b.top < a.Bottom();
}

// What holds for every layout: each text whole in its control, nothing on
// anything else, all of it inside a client area no smaller than the design.
void ExpectWholeAndApart(const MainLayout& layout, const MainTextSizes& sizes) {
  auto px = [&](long twips) { return TwipsToPixels(twips, sizes.dpi); };
  EXPECT_GE(layout.client.width, px(kMainClientWidth));
  EXPECT_GE(layout.client.height, px(kMainClientHeight));
  ASSERT_EQ(layout.controls.size(), MainDesign().size());
  for (const auto& [id, rect] : layout.controls) {
    SCOPED_TRACE(::testing::Message() << "control " << id);
    const PixelSize text = sizes.texts.count(id) ? sizes.texts.at(id) : PixelSize{};
    const int margin = IsButton(id) ? sizes.captionMargin : 0;
    EXPECT_GE(rect.width, text.width + 2 * margin);
    EXPECT_GE(rect.height, text.height + 2 * margin);
    if (!OnTheStrip(id)) {
      EXPECT_GE(rect.left, 0);
    }
    EXPECT_LE(rect.Right(), layout.client.width);
    EXPECT_LE(rect.Bottom(), layout.client.height);
    for (const auto& [other, otherRect] : layout.controls) {
      if (other == id || (OnTheStrip(id) && OnTheStrip(other))) continue;
      EXPECT_FALSE(Overlap(rect, otherRect)) << "overlaps control " << other;
    }
  }

  // Rows in their order, buttons of a kind alike, the outer columns lined up
  // and the design's margins and gaps kept.
  const auto& c = layout.controls;
  for (const auto& row : {std::span<const int>(kTopRow), std::span<const int>(kBottomRow)}) {
    for (std::size_t i = 1; i < row.size(); ++i) EXPECT_LT(c.at(row[i - 1]).Right(), c.at(row[i]).left) << row[i];
  }
  for (int id : kAppButtons) {
    EXPECT_EQ(c.at(id).width, c.at(ids::kCmdReopenExcelOnly).width) << id;
    EXPECT_EQ(c.at(id).height, c.at(ids::kCmdGetCurr).height) << id;
  }
  for (int id : kBottomRow) EXPECT_EQ(c.at(id).width, c.at(ids::kCmdGetCurr).width) << id;
  EXPECT_EQ(c.at(ids::kCmdListUnsavedDocs).left, c.at(ids::kCmdGetCurr).left);
  EXPECT_EQ(c.at(ids::kCmdExit).Right(), c.at(ids::kCmdExecuteCmd).Right());
  EXPECT_EQ(layout.client.width - c.at(ids::kCmdExecuteCmd).Right(), px(kMainClientWidth) - px(4560) - px(1155));
  EXPECT_EQ(c.at(ids::kLblMsg1).top - c.at(ids::kCmdGetCurr).Bottom(), px(600) - px(60) - px(405));
  EXPECT_EQ(c.at(ids::kCmdExit).top - c.at(ids::kLblMsg1).Bottom(), px(1730) - px(600) - px(965));
  EXPECT_EQ(layout.client.height - c.at(ids::kLblCopyrightBG).Bottom(), px(kMainClientHeight) - px(2600) - px(285));
}

TEST(MainLayout, TextsThatFitTheDesignLeaveItAsDrawnAtEveryDpi) {
  for (int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(::testing::Message() << dpi << " DPI");
    const MainTextSizes sizes = Texts(dpi, 6 * dpi / 96, 3 * dpi / 96, 300 * dpi / 96, 4);
    const MainLayout layout = LayOutMainWindow(sizes);
    ExpectWholeAndApart(layout, sizes);
    EXPECT_EQ(layout.client.width, TwipsToPixels(kMainClientWidth, dpi));
    EXPECT_EQ(layout.client.height, TwipsToPixels(kMainClientHeight, dpi));
    for (const DesignRect& d : MainDesign()) {
      const PixelRect& r = layout.controls.at(d.id);
      EXPECT_EQ(r.left, TwipsToPixels(d.left, dpi)) << d.id;
      EXPECT_EQ(r.top, TwipsToPixels(d.top, dpi)) << d.id;
      EXPECT_EQ(r.width, TwipsToPixels(d.width, dpi)) << d.id;
      EXPECT_EQ(r.height, TwipsToPixels(d.height, dpi)) << d.id;
    }
  }
  // The small buttons sit side by side in the order of the summary's lines.
  const MainLayout base = LayOutMainWindow(Texts(96, 6, 3, 300, 4));
  EXPECT_EQ(base.controls.at(ids::kCmdReopenPowerPointOnly).left, TwipsToPixels(3480, 96));
  EXPECT_LT(base.controls.at(ids::kCmdReopenNonOffOnly).Right(), base.controls.at(ids::kCmdExecuteCmd).left);
}

TEST(MainLayout, GrowsWhereTheTextsNeedItAndOnlyThere) {
  struct Case {
    const char* name;
    MainTextSizes sizes;
    bool wider, taller;  // than the design
  };
  auto withCaption = [](MainTextSizes sizes, int id, PixelSize caption) {
    sizes.texts[id] = caption;
    return sizes;
  };
  const Case cases[] = {
      {"a full-size font at 96 DPI", Texts(96, 16, 6, 350), true, true},
      {"a narrow full-size font at 96 DPI", Texts(96, 14, 5, 350), false, true},
      {"a wide summary line", Texts(96, 13, 5, 520), true, true},
      {"a wide caption widens every wide button",
       withCaption(Texts(96, 13, 5, 300), ids::kCmdExecuteCmd, {140, 13}), true, true},
      {"a wide letter widens every small button",
       withCaption(Texts(96, 13, 5, 300), ids::kCmdReopenPowerPointOnly, {30, 13}), true, true},
      {"a tall caption heightens both rows", withCaption(Texts(96, 13, 5, 300, 4), ids::kCmdExit, {30, 40}), false,
       true},
      {"a large font at 96 DPI", Texts(96, 24, 9, 600), true, true},
      {"a full-size font at 144 DPI", Texts(144, 24, 7, 530), false, true},
      {"a full-size font at 192 DPI", Texts(192, 32, 9, 700), false, true},
      {"a large font at 192 DPI", Texts(192, 48, 14, 1100), true, true},
      {"a summary of one line", Texts(96, 13, 5, 200, 1), false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MainLayout layout = LayOutMainWindow(c.sizes);
    ExpectWholeAndApart(layout, c.sizes);
    EXPECT_EQ(layout.client.width > TwipsToPixels(kMainClientWidth, c.sizes.dpi), c.wider);
    EXPECT_EQ(layout.client.height > TwipsToPixels(kMainClientHeight, c.sizes.dpi), c.taller);
  }
}

// The window grows by exactly what the widest and tallest needs take, not
// by their sum: a wide summary and wide buttons share the room.
TEST(MainLayout, GrowsByTheLargestNeedOnly) {
  MainTextSizes sizes = Texts(96, 13, 5, TwipsToPixels(5460, 96) + 40, 4);
  const int baseWidth = TwipsToPixels(kMainClientWidth, 96);
  const MainLayout wideSummary = LayOutMainWindow(sizes);
  EXPECT_EQ(wideSummary.client.width, baseWidth + 40);
  EXPECT_EQ(wideSummary.controls.at(ids::kCmdExit).width, TwipsToPixels(1155, 96));  // the buttons as drawn
  // The bottom row's three gaps share the room alike.
  const auto& c = wideSummary.controls;
  const int gap1 = c.at(ids::kCmdReopenOnRestart).left - c.at(ids::kCmdListUnsavedDocs).Right();
  const int gap3 = c.at(ids::kCmdExit).left - c.at(ids::kCmdWatchMode).Right();
  EXPECT_NEAR(gap1, gap3, 2);

  sizes.texts[ids::kCmdWatchMode] = {TwipsToPixels(1155, 96) + 5, 13};  // each wide button 5 + margins wider
  const MainLayout both = LayOutMainWindow(sizes);
  const int buttonGrowth = 5 + 2 * sizes.captionMargin;
  EXPECT_EQ(both.controls.at(ids::kCmdExit).width, TwipsToPixels(1155, 96) + buttonGrowth);
  EXPECT_EQ(both.client.width, baseWidth + std::max(40, 4 * buttonGrowth));

  sizes.texts[ids::kLblMsg1].height = kMsg1Lines * 20;
  sizes.texts[ids::kLblCmdLine].height = 30;
  const MainLayout tall = LayOutMainWindow(sizes);
  EXPECT_EQ(tall.client.height, TwipsToPixels(kMainClientHeight, 96) + (kMsg1Lines * 20 - TwipsToPixels(965, 96)) +
                                    (30 - TwipsToPixels(285, 96)));
  EXPECT_EQ(tall.controls.at(ids::kCmdExit).top,
            TwipsToPixels(1730, 96) + kMsg1Lines * 20 - TwipsToPixels(965, 96));
}

}  // namespace
}  // namespace valmora
