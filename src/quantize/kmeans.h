#pragma once
// Lloyd's k-means in the working space, weighted by pixel counts: every colour goes to its
// nearest point, every point moves to the weighted mean of its colours, until hardly a colour
// changes its point.
#include <cstdint>
#include <vector>

#include "quantize/working_colours.h"

namespace tavlo::quantize {

struct KMeansOptions {
  int maxIterations = 40;
  double stopShare = 1e-4;  // stop when fewer than this share of the pixels changed their point
  int threads = 0;
};

// Moves `points` in place. A point left without colours moves to the colour that its nearest
// point serves worst, so none is wasted.
void RefineByKMeans(const WorkingColours& colours, std::vector<Point>& points,
                    const KMeansOptions& options);

// Index of the nearest point of every colour (squared working-space distance, ties to the lower
// index), starting from the guesses in `nearest` where they are valid indices.
void AssignNearestPoints(const WorkingColours& colours, const std::vector<Point>& points,
                         std::vector<std::uint16_t>& nearest, int threads);

}  // namespace tavlo::quantize
