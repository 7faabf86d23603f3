#pragma once
// The preview's rule for the quantizer's colour lists: each colour goes to the palette entry
// nearest to it by squared RGB distance, ties to the lower index.
#include <cstdint>
#include <vector>

#include "palette/color_value.h"

namespace tavlo::quantize {

// Index of the nearest entry of `palette` (1..256 colours) for every colour of `colours`. The
// indices already in `nearest` (when it has one per colour) are taken as first guesses: a good
// guess makes the search short, any guess gives the exact answer.
void AssignNearestEntries(const std::vector<ColorValue>& colours,
                          const std::vector<ColorValue>& palette, std::vector<std::uint16_t>& nearest,
                          int threads);

// The same, and in `second` the entry a colour would go to if its nearest were not there (equal
// to the nearest for a palette of one colour).
void AssignTwoNearestEntries(const std::vector<ColorValue>& colours,
                             const std::vector<ColorValue>& palette,
                             std::vector<std::uint16_t>& nearest,
                             std::vector<std::uint16_t>& second, int threads);

}  // namespace tavlo::quantize
