#pragma once
// The loss the program reports, for the quantizer's own checks: the pixel-weighted CIEDE2000
// difference between the colours and the entries the preview's rule maps them to.
#include <cstdint>
#include <vector>

#include "quantize/working_colors.h"

namespace tavlo::quantize {

struct PaletteLoss {
  double mean = 0;      // pixel-weighted mean CIEDE2000 loss
  double aboveOne = 0;  // share of pixels whose loss exceeds 1.0
};

// `threads` as for ForEachChunk.
PaletteLoss LossOf(const WorkingColors& colors, const std::vector<ColorValue>& palette,
                   int threads);

}  // namespace tavlo::quantize
