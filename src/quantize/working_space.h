#pragma once
// The space the quantizer measures and averages colours in. Its distances follow CIEDE2000, the
// loss the program reports: CIELAB with its lightness, chroma and hue axes rescaled by the
// weights CIEDE2000 gives them (lightness by S_L, chroma by S_C after the stretch of the a axis
// near grey, hue by about S_H), so that a short straight distance here is about the CIEDE2000
// difference of its two ends.
#include "palette/color_value.h"

namespace tavlo::quantize {

struct Point {
  float L = 0, a = 0, b = 0;
};

// The point of an sRGB colour with channels 0..255 (not necessarily whole numbers).
Point PointOfChannels(double red, double green, double blue);
Point WorkingPointOf(ColorValue colour);

// The sRGB colour whose point is nearest to `point` (a few Newton steps on the channels, then
// rounding, then the best of the neighbouring whole colours).
ColorValue ColorOfPoint(const Point& point);

}  // namespace tavlo::quantize
