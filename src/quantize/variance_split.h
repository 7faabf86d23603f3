#pragma once
// The starting palette: the colours are cut into boxes of the working space, each time the box of
// the largest error across the axis where it spreads most, at the place that leaves the least
// squared error in its two halves; each box gives its weighted mean.
//
// Which box is cut next decides where the entries go. The largest sqrt(weight x squared error),
// about the summed distance of the box's colours to their mean, is what the mean loss counts and
// serves photos best; the largest squared error gives more entries to sparse colours far from the
// rest, which serves drawings with a few small areas of their own colour better.
#include <cstdint>
#include <vector>

#include "quantize/working_colors.h"

namespace tavlo::quantize {

// At most `count` points (fewer only when there are fewer distinct colours), in the order the
// boxes were made, and for every colour the index of its box's point.
enum class SplitOrder { LargestSummedDistance, LargestSquaredError };
struct Split {
  std::vector<Point> points;
  std::vector<std::uint16_t> boxOf;
};
Split SplitByVariance(const WorkingColors& colors, int count,
                      SplitOrder splitOrder = SplitOrder::LargestSummedDistance,
                      StopFlag stop = nullptr);

}  // namespace tavlo::quantize
