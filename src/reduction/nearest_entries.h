#pragma once
// The nearest range entry of each distinct colour of a picture, by the preview's rule: squared
// RGB distance, ties to the lower position in the range.
#include <cstdint>
#include <vector>

#include "reduction/picture_colors.h"

namespace tavlo {

// Through the preview engine: the answer for any entries, `threads` 0 choosing by size.
std::vector<std::uint8_t> NearestEntries(const PictureColors& colors,
                                         const std::vector<ColorValue>& entries, int threads = 0);

// Brings `nearest`, the answer for `before`, up to date for `after`, a range of as many entries
// of which at most `maxChanged` differ: a colour whose nearest entry kept its colour only needs
// comparing with the changed entries' new colours, and only colours whose nearest entry changed
// are searched again. Returns false, with `nearest` untouched, when more entries changed (then
// NearestEntries is quicker) or the ranges differ in length.
bool UpdateNearestEntries(const PictureColors& colors, const std::vector<ColorValue>& before,
                          const std::vector<ColorValue>& after, std::vector<std::uint8_t>& nearest,
                          int maxChanged = 8);

}  // namespace tavlo
