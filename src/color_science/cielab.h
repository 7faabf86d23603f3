#pragma once
// CIELAB of an sRGB colour: the sRGB transfer curve, the sRGB primaries and the D65 white of
// chromaticity (0.3127, 0.3290), so that white is exactly L 100, a 0, b 0 and every grey has
// a = b = 0 (to rounding).
#include "base/color_value.h"

namespace tavlo {

struct Lab {
  double L = 0;  // 0 (black) .. 100 (white)
  double a = 0;
  double b = 0;
};

Lab LabFromColor(ColorValue color);

// CIE XYZ of an sRGB colour, scaled so that white has Y = 1; and the CIELAB of such a value.
struct Xyz {
  double X = 0, Y = 0, Z = 0;
};
Xyz XyzFromColor(ColorValue color);
Lab LabFromXyz(const Xyz& xyz);

}  // namespace tavlo
