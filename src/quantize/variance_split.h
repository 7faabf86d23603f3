#pragma once
// The starting palette: the colours are cut into boxes of the working space, each time the box of
// the largest error across the axis where it spreads most, at the place that leaves the least
// squared error in its two halves; each box gives its weighted mean.
#include <vector>

#include "quantize/working_colours.h"

namespace tavlo::quantize {

// At most `count` points (fewer only when there are fewer distinct colours), in the order the
// boxes were made.
std::vector<Point> SplitByVariance(const WorkingColours& colours, int count);

}  // namespace tavlo::quantize
