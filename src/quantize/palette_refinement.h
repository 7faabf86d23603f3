#pragma once
// The last stage of the quantizer, on the real rule and the real loss: the palette is made of
// whole sRGB colours, every colour of the picture goes to its nearest entry by the preview's RGB
// rule, and what is kept is the palette with the least mean CIEDE2000 loss over the pixels.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "quantize/working_colours.h"

namespace tavlo::quantize {

struct PaletteLoss {
  double mean = 0;       // pixel-weighted mean CIEDE2000 loss
  double aboveOne = 0;   // share of pixels whose loss exceeds 1.0
};

// The loss of the colours mapped to `palette` by `nearest` (indices into palette).
PaletteLoss LossOf(const WorkingColours& colours, const std::vector<ColorValue>& palette,
                   const std::vector<std::uint16_t>& nearest, int threads);

struct RefinementOptions {
  int iterations = 12;
  float lossFloor = std::getenv("TQ_FLOOR") ? float(std::atof(std::getenv("TQ_FLOOR"))) : 1e9f;
  int threads = 0;
};

// Starting from `points`, returns the best palette found (distinct colours, as many as points
// unless the picture has fewer colours).
std::vector<ColorValue> RefineOnRgbRule(const WorkingColours& colours,
                                        const std::vector<Point>& points,
                                        const RefinementOptions& options);

}  // namespace tavlo::quantize
