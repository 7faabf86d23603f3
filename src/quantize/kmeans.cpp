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
class PointNeighbours {
 public:
  std::size_t k = 0;
  std::vector<float> distance;       // k x (k - 1), rising per row (ties: lower index first)
  std::vector<std::uint16_t> index;  // the points of those distances

  // The rows for `points`. The points move little from one step to the next, so each row is
  // sorted again from its last order, which is then nearly right.
  void Update(const std::vector<Point>& points) {
    const bool fresh = k != points.size();
    k = points.size();
    distance.resize(k * (k - 1));
    index.resize(k * (k - 1));
    for (std::size_t i = 0; i < k; ++i) {
      float* d = &distance[i * (k - 1)];
      std::uint16_t* q = &index[i * (k - 1)];
      for (std::size_t m = 0; m + 1 < k; ++m) {
        if (fresh) q[m] = static_cast<std::uint16_t>(m < i ? m : m + 1);
        const Point& p = points[q[m]];
        d[m] = std::sqrt(Distance2(points[i], p.L, p.a, p.b));
      }
      SortRow(d, q, k - 1);
    }
  }

 private:
  // Insertion sort: quick on a row that is nearly sorted already.
  static void SortRow(float* d, std::uint16_t* q, std::size_t n) {
    for (std::size_t m = 1; m < n; ++m) {
      const float dm = d[m];
      const std::uint16_t qm = q[m];
      std::size_t at = m;
      for (; at > 0 && (d[at - 1] > dm || (d[at - 1] == dm && q[at - 1] > qm)); --at)
        d[at] = d[at - 1], q[at] = q[at - 1];
      d[at] = dm, q[at] = qm;
    }
  }
};

// Float rounding in the bounds below is kept on the safe side by this much.
constexpr float kBoundSlack = 1e-4f;

struct Nearest {
  std::uint16_t first = 0;
  float d1 = 0;      // distance to the nearest point, not squared
  float others = 0;  // a lower bound of the distance to every other point
};

// The nearest point, starting from `guess`: the points are visited by rising distance from the
// guess until none left can be nearer.
Nearest FindNearest(const std::vector<Point>& points, const PointNeighbours& neighbours, float L,
                    float a, float b, std::uint16_t guess) {
  const std::size_t k = points.size();
  const std::size_t start = guess < k ? guess : 0;
  Nearest n;
  n.first = static_cast<std::uint16_t>(start);
  float best2 = Distance2(points[start], L, a, b), second2 = INFINITY;
  const float startD = std::sqrt(best2);
  float reach = startD;
  float unvisited = INFINITY;  // no point left unvisited is nearer than this
  const float* distance = &neighbours.distance[start * (k - 1)];
  const std::uint16_t* index = &neighbours.index[start * (k - 1)];
  for (std::size_t m = 0; m + 1 < k; ++m) {
    if (distance[m] >= startD + reach) {
      unvisited = distance[m] - startD;
      break;
    }
    const std::uint16_t j = index[m];
    const float d2 = Distance2(points[j], L, a, b);
    if (d2 < best2 || (d2 == best2 && j < n.first)) {
      second2 = best2;
      n.first = j, best2 = d2;
    } else if (d2 < second2) {
      second2 = d2;
    }
    reach = std::sqrt(best2);
  }
  n.d1 = std::sqrt(best2);
  n.others = std::min(std::sqrt(second2), unvisited) - kBoundSlack;
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

// Lloyd's iterations with a bound per colour (after Hamerly): a colour nearer to its point than
// any other point can be keeps it without a search. The bound falls by the farthest move of the
// other points at every step; the colours whose bound fails are searched again.
class KMeans {
 public:
  KMeans(const WorkingColors& colors, std::vector<Point>& points, const KMeansOptions& options,
         std::vector<std::uint16_t> guesses)
      : c_(colors),
        points_(points),
        o_(options),
        nearest_(std::move(guesses)),
        others_(colors.Size(), 0) {
    if (nearest_.size() != c_.Size()) nearest_.assign(c_.Size(), 0);
  }

  // Lloyd's iterations until few colours change; returns the mean distance before the last move.
  double Iterate(int iterations) {
    double cost = 0;
    for (int i = 0; i < iterations; ++i) {
      ThrowIfStopped(o_.stop);
      double changed = 0;
      cost = Step(i == 0, changed);
      if (changed < o_.stopShare * c_.totalWeight) break;
    }
    return cost;
  }

 private:
  double Step(bool fresh, double& changed);
  void ReseedEmpty(const std::vector<Accumulator>& served);
  void NoteMoves(const std::vector<Point>& before);

  const WorkingColors& c_;
  std::vector<Point>& points_;
  const KMeansOptions& o_;
  std::vector<std::uint16_t> nearest_;
  std::vector<float> others_;  // per colour: no point but its own is nearer than this
  PointNeighbours neighbours_;
  // The farthest move of a point in the last step, the point that made it, and the farthest
  // move of the others.
  float farthest_ = 0, secondFarthest_ = 0;
  std::size_t farthestPoint_ = 0;
};

double KMeans::Step(bool fresh, double& changed) {
  const std::size_t k = points_.size(), n = c_.Size();
  neighbours_.Update(points_);
  const PointNeighbours& neighbours = neighbours_;
  std::vector<Accumulator> sums(ChunkCount(n) * k);
  std::vector<double> changedPerChunk(ChunkCount(n)), costPerChunk(ChunkCount(n));
  ForEachChunk(n, o_.threads, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
    Accumulator* acc = &sums[chunk * k];
    double moved = 0, cost = 0;
    for (std::size_t i = begin; i < end; ++i) {
      const std::uint16_t own = nearest_[i];
      // Half the distance from the colour's point to the next point: nearer than that, the
      // colour's point is its nearest.
      const float half = 0.5f * neighbours.distance[own * (k - 1)] - kBoundSlack;
      float others = others_[i] - (own == farthestPoint_ ? secondFarthest_ : farthest_);
      float d1 = std::sqrt(Distance2(points_[own], c_.L[i], c_.a[i], c_.b[i]));
      std::uint16_t first = own;
      if (fresh || (d1 >= others && d1 >= half)) {
        const Nearest near = FindNearest(points_, neighbours, c_.L[i], c_.a[i], c_.b[i], own);
        first = near.first, d1 = near.d1, others = near.others;
      }
      others_[i] = others;
      if (first != own || fresh) moved += c_.weight[i];
      nearest_[i] = first;
      cost += double(c_.weight[i]) * d1;
      acc[first].Add(c_.weight[i] / std::max(o_.distanceFloor, d1), c_.L[i], c_.a[i], c_.b[i]);
    }
    changedPerChunk[chunk] = moved;
    costPerChunk[chunk] = cost;
  });
  const std::vector<Accumulator> served = Combine(sums, k);
  const std::vector<Point> before = points_;
  for (std::size_t j = 0; j < k; ++j)
    if (served[j].w > 0)
      points_[j] = Point{float(served[j].L / served[j].w), float(served[j].a / served[j].w),
                         float(served[j].b / served[j].w)};
  ReseedEmpty(served);
  NoteMoves(before);
  changed = std::accumulate(changedPerChunk.begin(), changedPerChunk.end(), 0.0);
  return std::accumulate(costPerChunk.begin(), costPerChunk.end(), 0.0) / c_.totalWeight;
}

void KMeans::NoteMoves(const std::vector<Point>& before) {
  farthest_ = secondFarthest_ = 0;
  for (std::size_t j = 0; j < points_.size(); ++j) {
    const float move =
        std::sqrt(Distance2(before[j], points_[j].L, points_[j].a, points_[j].b)) + kBoundSlack;
    if (move > farthest_)
      secondFarthest_ = farthest_, farthest_ = move, farthestPoint_ = j;
    else if (move > secondFarthest_)
      secondFarthest_ = move;
  }
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
    others_[pick] = 0;  // searched again at the next step
  }
}

}  // namespace

void RefineByKMeans(const WorkingColors& colors, std::vector<Point>& points,
                    const KMeansOptions& options, std::vector<std::uint16_t> guesses) {
  if (points.size() < 2 || colors.Size() == 0) return;
  KMeans(colors, points, options, std::move(guesses)).Iterate(options.maxIterations);
}

}  // namespace tavlo::quantize
