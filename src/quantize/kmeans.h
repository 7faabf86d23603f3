#pragma once
// k-means in the working space, weighted by pixel counts, for the least mean distance (not the
// least squared distance: the mean loss is what the program reports). Lloyd's iterations with
// reweighting (each colour's weight divided by its distance moves a point towards the median of
// its colours), and then relocations: the point whose colours lose least when it goes is moved
// into the cluster that loses most, which Lloyd's iterations alone never do.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "quantize/working_colours.h"

namespace tavlo::quantize {

struct KMeansOptions {
  int maxIterations = 40;
  double stopShare = 1e-4;  // stop when fewer than this share of the pixels changed their point
  float distanceFloor = 1.0f;  // distances below this count as this when reweighting
  int relocationRounds = std::getenv("TQ_RELOC") ? std::atoi(std::getenv("TQ_RELOC")) : 0;
  int threads = 0;
};

// Moves `points` in place. A point left without colours moves to the colour that its nearest
// point serves worst, so none is wasted.
void RefineByKMeans(const WorkingColours& colours, std::vector<Point>& points,
                    const KMeansOptions& options);

}  // namespace tavlo::quantize
