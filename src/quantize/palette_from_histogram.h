#pragma once
// The quantizer: a palette of at most N colours for a picture, given its colour histogram.
//
// It is written here rather than taken from a library because it is the heart of what the
// program is for, and because it must optimise the very loss the program reports: the mean
// CIEDE2000 difference between the picture and its reduction, with every pixel mapped by the
// preview's rule (the nearest entry by squared RGB distance, ties to the lower index). Libraries
// optimise their own metrics under their own mapping.
//
// The stages: a variance-minimising split of the colours in the working space (Oklab) weighted
// by pixel counts, k-means there, then refinement on whole sRGB colours under the RGB rule,
// keeping the palette of the least CIEDE2000 loss.
#include <vector>

#include "colour/colour_histogram.h"

namespace tavlo {

struct QuantizeOptions {
  int threads = 0;  // 0: one per processor; any number gives the same palette
};

// At most `count` (1..256) distinct colours, ordered by the number of pixels that map to them,
// most used first (ties: lower colour value first). A picture of k <= count distinct colours
// gives exactly those k colours. The same histogram always gives the same palette.
std::vector<ColorValue> PaletteFromHistogram(const std::vector<ColourCount>& histogram, int count,
                                             const QuantizeOptions& options = {});

}  // namespace tavlo
