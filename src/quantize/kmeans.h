#pragma once
// k-means in the working space, weighted by pixel counts, for the least mean distance rather than
// the least squared distance, since the mean loss is what the program reports: Lloyd's iterations
// with reweighting (each colour's weight divided by its distance moves a point towards the median
// of its colours rather than their mean).
#include <cstdint>
#include <vector>

#include "quantize/stop_flag.h"
#include "quantize/working_colors.h"

namespace tavlo::quantize {

struct KMeansOptions {
  int maxIterations = 20;
  double stopShare = 1e-4;     // stop when fewer than this share of the pixels changed their point
  float distanceFloor = 1.0f;  // distances below this count as this when reweighting
  int threads = 0;
  StopFlag stop = nullptr;
};

// Moves `points` in place. A point left without colours moves to the colour that its nearest
// point serves worst, so none is wasted. `guesses`, when given, holds for every colour a point
// likely to be its nearest (the search starts there; the result does not depend on it).
void RefineByKMeans(const WorkingColors& colors, std::vector<Point>& points,
                    const KMeansOptions& options, std::vector<std::uint16_t> guesses = {});

}  // namespace tavlo::quantize
