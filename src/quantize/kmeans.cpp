#include "quantize/kmeans.h"

#include <algorithm>
#include <cmath>

#include "quantize/parallel_chunks.h"

namespace tavlo::quantize {
namespace {

float Distance2(const Point& p, float L, float a, float b) {
  const float dL = p.L - L, da = p.a - a, db = p.b - b;
  return dL * dL + da * da + db * db;
}

// For each point the others by rising distance from it. A colour at distance d from its point p
// cannot be nearer to a point q than d(p, q) - d, so the search can stop at the first q with
// d(p, q) >= d + (the best distance found so far).
struct PointNeighbours {
  std::size_t k;
  std::vector<float> distance;      // k x (k - 1), rising per row
  std::vector<std::uint16_t> index;  // the points of those distances
  explicit PointNeighbours(const std::vector<Point>& points)
      : k(points.size()), distance(k * (k - 1)), index(k * (k - 1)) {
    std::vector<std::pair<float, std::uint16_t>> row;
    for (std::size_t i = 0; i < k; ++i) {
      row.clear();
      for (std::size_t j = 0; j < k; ++j)
        if (j != i)
          row.emplace_back(std::sqrt(Distance2(points[i], points[j].L, points[j].a, points[j].b)),
                           static_cast<std::uint16_t>(j));
      std::sort(row.begin(), row.end());
      for (std::size_t m = 0; m < row.size(); ++m) {
        distance[i * (k - 1) + m] = row[m].first;
        index[i * (k - 1) + m] = row[m].second;
      }
    }
  }
};

std::uint16_t NearestPoint(const std::vector<Point>& points, const PointNeighbours& neighbours,
                           float L, float a, float b, std::uint16_t guess) {
  const std::size_t k = points.size();
  const std::size_t start = guess < k ? guess : 0;
  std::size_t best = start;
  float best2 = Distance2(points[start], L, a, b);
  const float startD = std::sqrt(best2);
  float bestD = startD;
  const float* distance = &neighbours.distance[start * (k - 1)];
  const std::uint16_t* index = &neighbours.index[start * (k - 1)];
  for (std::size_t m = 0; m + 1 < k; ++m) {
    if (distance[m] >= startD + bestD) break;
    const std::size_t j = index[m];
    const float d2 = Distance2(points[j], L, a, b);
    if (d2 < best2 || (d2 == best2 && j < best)) {
      best = j, best2 = d2;
      bestD = std::sqrt(d2);
    }
  }
  return static_cast<std::uint16_t>(best);
}

struct Accumulator {
  double w = 0, L = 0, a = 0, b = 0;
};

}  // namespace

void AssignNearestPoints(const WorkingColours& colours, const std::vector<Point>& points,
                         std::vector<std::uint16_t>& nearest, int threads) {
  nearest.resize(colours.Size(), 0);
  const PointNeighbours gaps(points);
  ForEachChunk(colours.Size(), threads, [&](std::size_t, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i)
      nearest[i] = NearestPoint(points, gaps, colours.L[i], colours.a[i], colours.b[i], nearest[i]);
  });
}

void RefineByKMeans(const WorkingColours& colours, std::vector<Point>& points,
                    const KMeansOptions& options) {
  const std::size_t k = points.size(), n = colours.Size();
  if (k < 2 || n == 0) return;
  std::vector<std::uint16_t> nearest(n, 0);
  std::vector<Accumulator> sums(ChunkCount(n) * k);
  std::vector<double> changedWeight(ChunkCount(n));
  for (int iteration = 0; iteration < options.maxIterations; ++iteration) {
    const PointNeighbours gaps(points);
    std::fill(sums.begin(), sums.end(), Accumulator{});
    ForEachChunk(n, options.threads, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
      Accumulator* acc = &sums[chunk * k];
      double changed = 0;
      for (std::size_t i = begin; i < end; ++i) {
        const std::uint16_t j =
            NearestPoint(points, gaps, colours.L[i], colours.a[i], colours.b[i], nearest[i]);
        if (j != nearest[i] || iteration == 0) changed += colours.weight[i];
        nearest[i] = j;
        const double w = colours.weight[i];
        acc[j].w += w;
        acc[j].L += w * colours.L[i];
        acc[j].a += w * colours.a[i];
        acc[j].b += w * colours.b[i];
      }
      changedWeight[chunk] = changed;
    });
    std::vector<Accumulator> total(k);
    for (std::size_t chunk = 0; chunk < ChunkCount(n); ++chunk)
      for (std::size_t j = 0; j < k; ++j) {
        const Accumulator& s = sums[chunk * k + j];
        total[j].w += s.w, total[j].L += s.L, total[j].a += s.a, total[j].b += s.b;
      }
    std::vector<std::size_t> empty;
    for (std::size_t j = 0; j < k; ++j) {
      if (total[j].w > 0) {
        const double w = total[j].w;
        points[j] = Point{float(total[j].L / w), float(total[j].a / w), float(total[j].b / w)};
      } else {
        empty.push_back(j);
      }
    }
    // An empty point takes the colour that costs most where it is now.
    for (std::size_t j : empty) {
      double worst = -1;
      std::size_t pick = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const double cost =
            colours.weight[i] * Distance2(points[nearest[i]], colours.L[i], colours.a[i], colours.b[i]);
        if (cost > worst) worst = cost, pick = i;
      }
      points[j] = Point{colours.L[pick], colours.a[pick], colours.b[pick]};
      nearest[pick] = static_cast<std::uint16_t>(j);
    }
    double changed = 0;
    for (double c : changedWeight) changed += c;
    if (empty.empty() && iteration > 0 && changed < options.stopShare * colours.totalWeight) break;
  }
}

}  // namespace tavlo::quantize
