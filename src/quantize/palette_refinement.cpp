#include "quantize/palette_refinement.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "colour/ciede2000.h"
#include "quantize/parallel_chunks.h"
#include "quantize/rgb_nearest.h"

namespace tavlo::quantize {
namespace {

struct Accumulator {
  double w = 0, L = 0, a = 0, b = 0;
};

// Per-colour losses of the mapping, kept for reseeding.
std::vector<float> ColourLosses(const WorkingColours& colours, const std::vector<ColorValue>& palette,
                                const std::vector<std::uint16_t>& nearest, int threads) {
  std::vector<Lab> entryLab(palette.size());
  for (std::size_t j = 0; j < palette.size(); ++j) entryLab[j] = LabFromColor(palette[j]);
  std::vector<float> loss(colours.Size());
  ForEachChunk(colours.Size(), threads, [&](std::size_t, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i)
      loss[i] = static_cast<float>(Ciede2000(colours.lab[i], entryLab[nearest[i]]));
  });
  return loss;
}

PaletteLoss Summarise(const WorkingColours& colours, const std::vector<float>& loss) {
  double sum = 0, above = 0;
  for (std::size_t i = 0; i < loss.size(); ++i) {
    sum += double(colours.weight[i]) * loss[i];
    if (loss[i] > 1.0f) above += colours.weight[i];
  }
  return {sum / colours.totalWeight, above / colours.totalWeight};
}

// Rounds the points to colours; a colour that is already taken, or a point without colours,
// gets the colour of the picture that loses most where it is now.
std::vector<ColorValue> ColoursOfPoints(const WorkingColours& colours,
                                        const std::vector<Point>& points,
                                        const std::vector<Accumulator>& served,
                                        const std::vector<float>& loss) {
  std::vector<ColorValue> palette;
  std::set<ColorValue> taken;
  std::vector<std::size_t> reseed;
  for (std::size_t j = 0; j < points.size(); ++j) {
    const ColorValue c = ColorOfPoint(points[j]);
    if (served[j].w > 0 && taken.insert(c).second) {
      palette.push_back(c);
    } else {
      palette.push_back(-1);
      reseed.push_back(j);
    }
  }
  if (reseed.empty()) return palette;
  std::vector<std::uint32_t> order(colours.Size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
    const double cx = double(colours.weight[x]) * loss[x], cy = double(colours.weight[y]) * loss[y];
    return cx != cy ? cx > cy : x < y;
  });
  std::size_t next = 0;
  for (std::size_t j : reseed) {
    while (next < order.size() && taken.count(colours.colour[order[next]])) ++next;
    if (next == order.size()) break;
    palette[j] = colours.colour[order[next]];
    taken.insert(palette[j]);
  }
  palette.erase(std::remove(palette.begin(), palette.end(), -1), palette.end());
  return palette;
}

}  // namespace

PaletteLoss LossOf(const WorkingColours& colours, const std::vector<ColorValue>& palette,
                   const std::vector<std::uint16_t>& nearest, int threads) {
  return Summarise(colours, ColourLosses(colours, palette, nearest, threads));
}

std::vector<ColorValue> RefineOnRgbRule(const WorkingColours& colours,
                                        const std::vector<Point>& startPoints,
                                        const RefinementOptions& options) {
  const std::size_t n = colours.Size();
  std::vector<Point> points = startPoints;
  std::vector<Accumulator> served(points.size(), Accumulator{1, 0, 0, 0});
  std::vector<float> loss(n, 0);
  std::vector<ColorValue> palette = ColoursOfPoints(colours, points, served, loss);
  std::vector<ColorValue> best = palette;
  double bestMean = -1;
  std::vector<std::uint16_t> nearest;
  std::vector<Accumulator> sums;
  for (int iteration = 0; iteration <= options.iterations; ++iteration) {
    AssignNearestEntries(colours.colour, palette, nearest, options.threads);
    loss = ColourLosses(colours, palette, nearest, options.threads);
    const double mean = Summarise(colours, loss).mean;
    if (bestMean < 0 || mean < bestMean) bestMean = mean, best = palette;
    if (iteration == options.iterations) break;
    // Each entry moves to the weighted mean of the colours it serves.
    const std::size_t k = palette.size();
    sums.assign(ChunkCount(n) * k, Accumulator{});
    ForEachChunk(n, options.threads, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
      Accumulator* acc = &sums[chunk * k];
      for (std::size_t i = begin; i < end; ++i) {
        Accumulator& s = acc[nearest[i]];
        // Weights divided by the loss move the entry towards the CIEDE2000 median of its colours
        // (one step of iteratively reweighted least squares), which is what the mean loss wants.
        const double w = colours.weight[i] / std::max(loss[i], options.lossFloor);
        s.w += w, s.L += w * colours.L[i], s.a += w * colours.a[i], s.b += w * colours.b[i];
      }
    });
    served.assign(k, Accumulator{});
    for (std::size_t chunk = 0; chunk < ChunkCount(n); ++chunk)
      for (std::size_t j = 0; j < k; ++j) {
        const Accumulator& s = sums[chunk * k + j];
        served[j].w += s.w, served[j].L += s.L, served[j].a += s.a, served[j].b += s.b;
      }
    points.resize(k);
    for (std::size_t j = 0; j < k; ++j)
      if (served[j].w > 0)
        points[j] = Point{float(served[j].L / served[j].w), float(served[j].a / served[j].w),
                          float(served[j].b / served[j].w)};
    palette = ColoursOfPoints(colours, points, served, loss);
  }
  return best;
}

}  // namespace tavlo::quantize
