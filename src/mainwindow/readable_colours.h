// Which colours a custom-coloured part of a window may keep: a colour the
// design chose only where it still reads on the theme's background.
#pragma once

#include <cstdint>

namespace valmora {

// A colour packed as Windows packs it: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
  return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 | static_cast<Colour>(blue) << 16;
}

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double ContrastRatio(Colour a, Colour b);

// Whether text of that colour reads on that background: 4.5:1, the usual
// bar for text of ordinary size.
bool ReadableOn(Colour text, Colour background);

// The design's colour for a part, or the theme's own one for it: the
// theme's while a high-contrast theme is on (its colours are the user's
// choice) and wherever the design's would not read with `other`, the colour
// it is seen with (the text on a background, or the background under a text).
Colour DesignOrTheme(Colour design, Colour theme, Colour other, bool highContrast);

}  // namespace valmora
