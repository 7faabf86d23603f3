#pragma once
// The quantizer: a palette of at most N colours for a picture, given its colour histogram.
//
// It is written here rather than taken from a library because it is the heart of what the
// program is for, and because it must optimise the very loss the program reports: the mean
// CIEDE2000 difference between the picture and its reduction, with every pixel mapped by the
// preview's rule (the nearest entry by squared RGB distance, ties to the lower index). Libraries
// optimise their own metrics under their own mapping.
//
// The stages, on the picture's distinct colours weighted by their pixel counts, in a working
// space whose distances follow CIEDE2000 (working_space.h): a variance-minimising split
// (variance_split.h) in two orders, each followed by k-means for the least mean distance
// (kmeans.h) and rounding to sRGB colours, the one of less loss kept; then a local search of the
// entries under the RGB rule itself (rgb_local_search.h), kept when its CIEDE2000 loss is lower.
// Under the RGB rule, the entries best for the perceptual loss are not the perceptual means of
// their colours, which is why that last stage pays.
#include <vector>

#include "color_science/color_histogram.h"
#include "quantize/stop_flag.h"

namespace tavlo {

struct QuantizeOptions {
  int threads = 0;  // 0: one per processor; any number gives the same palette
  // Set by another thread to stop the work: PaletteFromHistogram then throws WorkStopped within a
  // few milliseconds.
  StopFlag stop = nullptr;
};

// At most `count` (1..256) distinct colours, ordered by the number of pixels that map to them,
// most used first (ties: lower colour value first). A picture of k <= count distinct colours
// gives exactly those k colours. The same colours and counts always give the same palette, in
// whatever order they come and however often a colour is named (counts of a colour add up).
std::vector<ColorValue> PaletteFromHistogram(const std::vector<ColorCount>& histogram, int count,
                                             const QuantizeOptions& options = {});

}  // namespace tavlo
