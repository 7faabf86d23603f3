#include "quantize/point_rounding.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <set>

#include "quantize/parallel_chunks.h"

namespace tavlo::quantize {
namespace {

// Each colour's weighted distance to its nearest point (a plain search: it runs once, and only
// when two points round to one colour).
std::vector<double> WeightedGaps(const WorkingColors& colors, const std::vector<Point>& points,
                                 int threads) {
  std::vector<double> gap(colors.Size());
  ForEachChunk(colors.Size(), threads, [&](std::size_t, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      float best = INFINITY;
      for (const Point& p : points) {
        const float dL = p.L - colors.L[i], da = p.a - colors.a[i], db = p.b - colors.b[i];
        best = std::min(best, dL * dL + da * da + db * db);
      }
      gap[i] = colors.weight[i] * std::sqrt(best);
    }
  });
  return gap;
}

}  // namespace

std::vector<ColorValue> ColorsOfPoints(const WorkingColors& colors,
                                       const std::vector<Point>& points, int threads) {
  std::vector<ColorValue> palette;
  std::set<ColorValue> taken;
  std::size_t missing = 0;
  for (const Point& p : points) {
    const ColorValue c = ColorOfPoint(p);
    if (taken.insert(c).second)
      palette.push_back(c);
    else
      ++missing;
  }
  if (missing == 0) return palette;
  const std::vector<double> gap = WeightedGaps(colors, points, threads);
  std::vector<std::uint32_t> order(colors.Size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
    return gap[x] != gap[y] ? gap[x] > gap[y] : x < y;
  });
  for (std::size_t next = 0; missing > 0 && next < order.size(); ++next) {
    const ColorValue c = colors.color[order[next]];
    if (taken.insert(c).second) palette.push_back(c), --missing;
  }
  return palette;
}

}  // namespace tavlo::quantize
