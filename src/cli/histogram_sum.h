#pragma once
// The colour histograms of several pictures added up, as if they were one picture: what a
// palette for all of them is computed from.
#include <cstdint>
#include <utility>
#include <vector>

#include "color_science/color_histogram.h"

namespace tavlo::cli {

class HistogramSum {
 public:
  // Adds the picture's histogram, in any order; the order in which pictures are added does not
  // matter.
  void Add(std::vector<ColorCount> picture);

  // Each colour once, ascending by colour value, with the pixels of all pictures. Counts that
  // would not fit a histogram's count are scaled down all alike (none below 1), so that the
  // colours keep their weights against each other.
  std::vector<ColorCount> Counts() const;

  bool Empty() const { return colors_.empty(); }

 private:
  std::vector<std::pair<ColorValue, std::uint64_t>> colors_;  // ascending by colour
};

}  // namespace tavlo::cli
