#include "mainwindow/readable_colours.h"

#include <algorithm>
#include <cmath>

namespace valmora {
namespace {

// sRGB channel to linear light.
double Linear(Colour colour, int shift) {
  const double channel = static_cast<double>((colour >> shift) & 0xFF) / 255.0;
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(Colour colour) { return 0.2126 * Linear(colour, 0) + 0.7152 * Linear(colour, 8) + 0.0722 * Linear(colour, 16); }

}  // namespace

double ContrastRatio(Colour a, Colour b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool ReadableOn(Colour text, Colour background) { return ContrastRatio(text, background) >= 4.5; }

Colour DesignOrTheme(Colour design, Colour theme, Colour other, bool highContrast) {
  return !highContrast && ReadableOn(design, other) ? design : theme;
}

}  // namespace valmora
