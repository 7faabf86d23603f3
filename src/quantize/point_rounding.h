#pragma once
// From working-space points to palette colours.
#include <vector>

#include "quantize/working_colors.h"

namespace tavlo::quantize {

// The nearest sRGB colour of each point. A point whose colour another point already took is
// given instead the picture colour that is farthest (weighted by its pixels) from every point, so
// the palette has as many distinct colours as points, as long as the picture has that many.
std::vector<ColorValue> ColorsOfPoints(const WorkingColors& colors,
                                       const std::vector<Point>& points, int threads);

}  // namespace tavlo::quantize
