#pragma once
// The preview's rule for the quantizer's colour lists: each colour goes to the palette entry
// nearest to it by squared RGB distance, ties to the lower index.
#include <cstdint>
#include <vector>

#include "base/color_value.h"

namespace tavlo::quantize {

// For every colour of `colours`, the index of its nearest entry of `palette` (1..256 colours)
// and, when `second` is given, the entry it would go to if the nearest were not there (the
// nearest itself for a palette of one colour). `distance2`, when given, receives the squared
// RGB distance to the nearest entry, `secondDistance2` to the second.
struct NearestEntries {
  std::vector<std::uint16_t> first, second;
  std::vector<std::int32_t> distance2, secondDistance2;
};
NearestEntries AssignNearestEntries(const std::vector<ColorValue>& colors,
                                    const std::vector<ColorValue>& palette, int threads);

}  // namespace tavlo::quantize
