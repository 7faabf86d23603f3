#include "quantize/kmeans.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "quantize/parallel_chunks.h"

namespace tavlo::quantize {
namespace {

float Distance2(const Point& p, float L, float a, float b) {
  const float dL = p.L - L, da = p.a - a, db = p.b - b;
  return dL * dL + da * da + db * db;
}

// For each point the others by rising distance from it. A colour at distance d from its point p
// is at least d(p, q) - d from a point q, so a search that needs points nearer than r can stop at
// the first q with d(p, q) >= d + r.
struct PointNeighbours {
  std::size_t k;
  std::vector<float> distance;       // k x (k - 1), rising per row
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

struct Nearest {
  std::uint16_t first = 0, second = 0;
  float d1 = 0, d2 = INFINITY;  // distances, not squared
};

// The nearest point, and when `withSecond` also the second nearest, starting from `guess`.
Nearest FindNearest(const std::vector<Point>& points, const PointNeighbours& neighbours, float L,
                    float a, float b, std::uint16_t guess, bool withSecond) {
  const std::size_t k = points.size();
  const std::size_t start = guess < k ? guess : 0;
  Nearest n;
  n.first = static_cast<std::uint16_t>(start);
  float best2 = Distance2(points[start], L, a, b), second2 = INFINITY;
  const float startD = std::sqrt(best2);
  float reach = withSecond ? INFINITY : startD;
  const float* distance = &neighbours.distance[start * (k - 1)];
  const std::uint16_t* index = &neighbours.index[start * (k - 1)];
  for (std::size_t m = 0; m + 1 < k; ++m) {
    if (distance[m] >= startD + reach) break;
    const std::uint16_t j = index[m];
    const float d2 = Distance2(points[j], L, a, b);
    if (d2 < best2 || (d2 == best2 && j < n.first)) {
      n.second = n.first, second2 = best2;
      n.first = j, best2 = d2;
    } else if (d2 < second2) {
      n.second = j, second2 = d2;
    }
    reach = std::sqrt(withSecond ? second2 : best2);
  }
  n.d1 = std::sqrt(best2);
  n.d2 = std::sqrt(second2);
  return n;
}

struct Accumulator {
  double w = 0, L = 0, a = 0, b = 0;
  void Add(double weight, float l, float aa, float bb) {
    w += weight, L += weight * l, a += weight * aa, b += weight * bb;
  }
  void Add(const Accumulator& o) { w += o.w, L += o.L, a += o.a, b += o.b; }
};

// Sums kept per chunk and per point, combined in chunk order.
template <typename T>
std::vector<T> Combine(const std::vector<T>& perChunk, std::size_t k) {
  std::vector<T> total(k);
  for (std::size_t c = 0; c < perChunk.size() / k; ++c)
    for (std::size_t j = 0; j < k; ++j) total[j].Add(perChunk[c * k + j]);
  return total;
}

class KMeans {
 public:
  KMeans(const WorkingColors& colors, std::vector<Point>& points, const KMeansOptions& options)
      : c_(colors), points_(points), o_(options), nearest_(colors.Size(), 0) {}

  // Lloyd's iterations until few colours change; returns the mean distance before the last move.
  double Iterate(int iterations) {
    double cost = 0;
    for (int i = 0; i < iterations; ++i) {
      double changed = 0;
      cost = Step(i == 0, changed);
      if (changed < o_.stopShare * c_.totalWeight) break;
    }
    return cost;
  }

 private:
  double Step(bool fresh, double& changed);
  void ReseedEmpty(const std::vector<Accumulator>& served);

  const WorkingColors& c_;
  std::vector<Point>& points_;
  const KMeansOptions& o_;
  std::vector<std::uint16_t> nearest_;
};

double KMeans::Step(bool fresh, double& changed) {
  const std::size_t k = points_.size(), n = c_.Size();
  const PointNeighbours neighbours(points_);
  std::vector<Accumulator> sums(ChunkCount(n) * k);
  std::vector<double> changedPerChunk(ChunkCount(n)), costPerChunk(ChunkCount(n));
  ForEachChunk(n, o_.threads, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
    Accumulator* acc = &sums[chunk * k];
    double moved = 0, cost = 0;
    for (std::size_t i = begin; i < end; ++i) {
      const Nearest near =
          FindNearest(points_, neighbours, c_.L[i], c_.a[i], c_.b[i], nearest_[i], false);
      if (near.first != nearest_[i] || fresh) moved += c_.weight[i];
      nearest_[i] = near.first;
      cost += double(c_.weight[i]) * near.d1;
      acc[near.first].Add(c_.weight[i] / std::max(o_.distanceFloor, near.d1), c_.L[i], c_.a[i],
                          c_.b[i]);
    }
    changedPerChunk[chunk] = moved;
    costPerChunk[chunk] = cost;
  });
  const std::vector<Accumulator> served = Combine(sums, k);
  for (std::size_t j = 0; j < k; ++j)
    if (served[j].w > 0)
      points_[j] = Point{float(served[j].L / served[j].w), float(served[j].a / served[j].w),
                         float(served[j].b / served[j].w)};
  ReseedEmpty(served);
  changed = std::accumulate(changedPerChunk.begin(), changedPerChunk.end(), 0.0);
  return std::accumulate(costPerChunk.begin(), costPerChunk.end(), 0.0) / c_.totalWeight;
}

// An empty point takes the colour that costs most where it is now.
void KMeans::ReseedEmpty(const std::vector<Accumulator>& served) {
  for (std::size_t j = 0; j < points_.size(); ++j) {
    if (served[j].w > 0) continue;
    double worst = -1;
    std::size_t pick = 0;
    for (std::size_t i = 0; i < c_.Size(); ++i) {
      const double cost = c_.weight[i] * Distance2(points_[nearest_[i]], c_.L[i], c_.a[i], c_.b[i]);
      if (cost > worst) worst = cost, pick = i;
    }
    points_[j] = Point{c_.L[pick], c_.a[pick], c_.b[pick]};
    nearest_[pick] = static_cast<std::uint16_t>(j);
  }
}

}  // namespace

void RefineByKMeans(const WorkingColors& colors, std::vector<Point>& points,
                    const KMeansOptions& options) {
  if (points.size() < 2 || colors.Size() == 0) return;
  KMeans(colors, points, options).Iterate(options.maxIterations);
}

}  // namespace tavlo::quantize
