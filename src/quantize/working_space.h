#pragma once
// The space the quantizer measures and averages colours in. Its distances follow CIEDE2000, the
// loss the program reports: CIELAB with the a axis stretched near grey as CIEDE2000 stretches it,
// lightness rescaled by S_L and chroma by S_C (each replaced by the integral of its reciprocal),
// so that the straight distance of two near colours here is about their CIEDE2000 difference;
// along the hue the rescaled chroma comes within about 10 % of what S_H gives.
#include <cstdint>

#include "base/color_value.h"
#include "color_science/cielab.h"

namespace tavlo::quantize {

struct Point {
  float L = 0, a = 0, b = 0;
};

Point PointOfLab(const Lab& lab);
Point WorkingPointOf(ColorValue color);

// The sRGB colour whose point is nearest to `point`: Newton steps on the three channels, then the
// best of the eight whole colours around the solution.
ColorValue ColorOfPoint(const Point& point);

// The mean of two colours here, weighted by their pixels (the plain mean when neither has any),
// as a colour; two equal colours give themselves.
ColorValue WeightedMean(ColorValue x, std::uint64_t wx, ColorValue y, std::uint64_t wy);

}  // namespace tavlo::quantize
