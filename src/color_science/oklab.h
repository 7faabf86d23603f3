#pragma once
// Oklab, a perceptual colour space in which straight lines and distances follow seen colour
// differences better than in RGB or CIELAB (used for mixing and averaging colours).
#include "base/color_value.h"

namespace tavlo {

struct Oklab {
  double L = 0;  // 0 (black) .. 1 (white)
  double a = 0;
  double b = 0;
};

Oklab OklabFromColor(ColorValue color);

// The sRGB colour of an Oklab value: each channel rounded to the nearest whole number (halves
// away from zero) and clamped to 0..255, so any Oklab value gives a valid colour and every colour
// comes back from its own Oklab value unchanged.
ColorValue ColorFromOklab(const Oklab& color);

}  // namespace tavlo
