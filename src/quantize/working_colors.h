#pragma once
// A picture's distinct colours as the quantizer works on them: each in the working space, in
// CIELAB for the CIEDE2000 loss, and in RGB for the nearest-entry rule, with its pixel count as
// weight.
#include <cstdint>
#include <vector>

#include "color_science/cielab.h"
#include "color_science/color_histogram.h"
#include "quantize/stop_flag.h"
#include "quantize/working_space.h"

namespace tavlo::quantize {

struct WorkingColors {
  std::vector<float> L, a, b;        // working space, one per colour
  std::vector<float> weight;         // pixel count, as the arithmetic uses it
  std::vector<std::uint32_t> count;  // pixel count, exactly
  std::vector<ColorValue> color;
  std::vector<Lab> lab;
  double totalWeight = 0;

  std::size_t Size() const { return color.size(); }
};

// The colours of a histogram in rising order of value, each once with its counts added up: a
// histogram in any order, or histograms of several pictures put together, become one.
std::vector<ColorCount> CanonicalHistogram(std::vector<ColorCount> histogram);
bool IsCanonicalHistogram(const std::vector<ColorCount>& histogram);

// `threads` as for ForEachChunk. The histogram may come in any order and name a colour more than
// once (histograms of several pictures put together): the colours are taken in rising order of
// value, repeats added up, so the same colours and counts always give the same working set.
WorkingColors MakeWorkingColors(const std::vector<ColorCount>& histogram, int threads,
                                StopFlag stop = nullptr);

}  // namespace tavlo::quantize
