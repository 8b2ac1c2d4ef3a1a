#include "mainwindow/readable_colours.h"

#include <gtest/gtest.h>

namespace valmora {
namespace {

constexpr Colour kBlack = MakeColour(0, 0, 0);
constexpr Colour kWhite = MakeColour(255, 255, 255);
constexpr Colour kNavy = MakeColour(0, 0, 128);
constexpr Colour kDarkRed = MakeColour(128, 0, 0);
constexpr Colour kLightFace = MakeColour(240, 240, 240);

TEST(ContrastRatio, RunsFromOneToTwentyOneWhicheverComesFirst) {
  EXPECT_DOUBLE_EQ(ContrastRatio(kBlack, kWhite), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio(kWhite, kBlack), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio(kNavy, kNavy), 1.0);
  EXPECT_NEAR(ContrastRatio(kNavy, kBlack), 1.3, 0.1);  // navy on a high-contrast black face
  // Channels are read in Windows' order: pure blue is far darker than pure red.
  EXPECT_LT(ContrastRatio(MakeColour(0, 0, 255), kBlack), ContrastRatio(MakeColour(255, 0, 0), kBlack));
}

TEST(DesignOrTheme, KeepsTheDesignOnlyWhereItReadsAndNoHighContrastThemeIsOn) {
  struct Case {
    Colour design, theme, other;
    bool highContrast;
    Colour expected;
  };
  const Case cases[] = {
      {kNavy, kBlack, kLightFace, false, kNavy},     // the ordinary look
      {kDarkRed, kBlack, kLightFace, false, kDarkRed},
      {kNavy, kWhite, kBlack, false, kWhite},        // a dark theme without the flag
      {kDarkRed, kWhite, kBlack, false, kWhite},
      {kNavy, kBlack, kLightFace, true, kBlack},     // the user's theme wins, even where navy reads
      {MakeColour(120, 120, 120), kWhite, MakeColour(128, 128, 128), false, kWhite},  // grey on grey
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DesignOrTheme(c.design, c.theme, c.other, c.highContrast), c.expected)
        << std::hex << c.design << " with " << c.other << (c.highContrast ? " in high contrast" : "");
  }
}

}  // namespace
}  // namespace valmora
