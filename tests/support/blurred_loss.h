#pragma once
// The loss figure that catches streaks and bands, which per-pixel figures miss: both pictures
// blurred (Gaussian, sigma 1 pixel, radius 3, edges repeated) in linear light, then the mean
// CIEDE2000 between them. A rough stand-in for viewing distance; the benchmarks compare lossy
// GIFs with their peers by it.
#include <cstdint>
#include <vector>

#include "base/color_value.h"

namespace tavlo::testing {

// `original` and `written` hold width * height colours, row by row.
double BlurredLoss(const std::vector<ColorValue>& original, const std::vector<ColorValue>& written,
                   int width, int height);

}  // namespace tavlo::testing
