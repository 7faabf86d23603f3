#include "quantize/kmeans.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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
  KMeans(const WorkingColours& colours, std::vector<Point>& points, const KMeansOptions& options)
      : c_(colours), points_(points), o_(options), nearest_(colours.Size(), 0) {}

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

  // Moves the points whose colours lose least when they go into the clusters that lose most;
  // keeps the move when a few iterations later the mean distance is lower. False when not kept.
  bool Relocate(double& cost);

 private:
  double Step(bool fresh, double& changed);
  void ReseedEmpty(const std::vector<Accumulator>& served);

  const WorkingColours& c_;
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
      const double cost =
          c_.weight[i] * Distance2(points_[nearest_[i]], c_.L[i], c_.a[i], c_.b[i]);
      if (cost > worst) worst = cost, pick = i;
    }
    points_[j] = Point{c_.L[pick], c_.a[pick], c_.b[pick]};
    nearest_[pick] = static_cast<std::uint16_t>(j);
  }
}

// What each point's colours cost: their distance, the extra distance if the point went away, and
// their spread (weighted first and second moments) to split the cluster along.
struct ClusterCosts {
  double w = 0, cost = 0, removal = 0;
  double m[3] = {0, 0, 0};
  double mm[6] = {0, 0, 0, 0, 0, 0};  // LL, La, Lb, aa, ab, bb
  void Add(const ClusterCosts& o) {
    w += o.w, cost += o.cost, removal += o.removal;
    for (int i = 0; i < 3; ++i) m[i] += o.m[i];
    for (int i = 0; i < 6; ++i) mm[i] += o.mm[i];
  }
};

// The direction in which the cluster spreads most (power iteration on its covariance) and the
// spread's standard deviation along it.
Point PrincipalAxis(const ClusterCosts& s, float& deviation) {
  const double mean[3] = {s.m[0] / s.w, s.m[1] / s.w, s.m[2] / s.w};
  const double cov[3][3] = {
      {s.mm[0] / s.w - mean[0] * mean[0], s.mm[1] / s.w - mean[0] * mean[1], s.mm[2] / s.w - mean[0] * mean[2]},
      {s.mm[1] / s.w - mean[0] * mean[1], s.mm[3] / s.w - mean[1] * mean[1], s.mm[4] / s.w - mean[1] * mean[2]},
      {s.mm[2] / s.w - mean[0] * mean[2], s.mm[4] / s.w - mean[1] * mean[2], s.mm[5] / s.w - mean[2] * mean[2]}};
  double v[3] = {0.577, 0.577, 0.577};
  double length = 0;
  for (int it = 0; it < 30; ++it) {
    double next[3];
    for (int r = 0; r < 3; ++r) next[r] = cov[r][0] * v[0] + cov[r][1] * v[1] + cov[r][2] * v[2];
    length = std::sqrt(next[0] * next[0] + next[1] * next[1] + next[2] * next[2]);
    if (length <= 0) break;
    for (int r = 0; r < 3; ++r) v[r] = next[r] / length;
  }
  deviation = static_cast<float>(std::sqrt(std::max(length, 0.0)));
  return Point{float(v[0]), float(v[1]), float(v[2])};
}

bool KMeans::Relocate(double& cost) {
  const std::size_t k = points_.size(), n = c_.Size();
  const PointNeighbours neighbours(points_);
  std::vector<ClusterCosts> sums(ChunkCount(n) * k);
  ForEachChunk(n, o_.threads, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
    ClusterCosts* acc = &sums[chunk * k];
    for (std::size_t i = begin; i < end; ++i) {
      const Nearest near =
          FindNearest(points_, neighbours, c_.L[i], c_.a[i], c_.b[i], nearest_[i], true);
      ClusterCosts& s = acc[near.first];
      const double w = c_.weight[i];
      const double x[3] = {c_.L[i], c_.a[i], c_.b[i]};
      s.w += w, s.cost += w * near.d1, s.removal += w * (near.d2 - near.d1);
      for (int d = 0; d < 3; ++d) s.m[d] += w * x[d];
      s.mm[0] += w * x[0] * x[0], s.mm[1] += w * x[0] * x[1], s.mm[2] += w * x[0] * x[2];
      s.mm[3] += w * x[1] * x[1], s.mm[4] += w * x[1] * x[2], s.mm[5] += w * x[2] * x[2];
    }
  });
  const std::vector<ClusterCosts> clusters = Combine(sums, k);
  std::vector<std::size_t> byRemoval(k), byCost(k);
  std::iota(byRemoval.begin(), byRemoval.end(), 0);
  std::iota(byCost.begin(), byCost.end(), 0);
  std::sort(byRemoval.begin(), byRemoval.end(), [&](std::size_t x, std::size_t y) {
    return clusters[x].removal != clusters[y].removal ? clusters[x].removal < clusters[y].removal
                                                      : x < y;
  });
  std::sort(byCost.begin(), byCost.end(), [&](std::size_t x, std::size_t y) {
    return clusters[x].cost != clusters[y].cost ? clusters[x].cost > clusters[y].cost : x < y;
  });
  const std::size_t moves = std::max<std::size_t>(1, k / 32);
  std::vector<bool> touched(k, false);
  const std::vector<Point> before = points_;
  const std::vector<std::uint16_t> nearestBefore = nearest_;
  std::size_t made = 0;
  for (std::size_t r = 0, s = 0; made < moves && r < k && s < k;) {
    const std::size_t gone = byRemoval[r], split = byCost[s];
    if (touched[gone]) { ++r; continue; }
    if (touched[split] || split == gone || clusters[split].w <= 0) { ++s; continue; }
    // Worth it only when the loss of removing is below what the split should save.
    if (clusters[gone].removal >= 0.3 * clusters[split].cost) break;
    float deviation = 0;
    const Point axis = PrincipalAxis(clusters[split], deviation);
    const ClusterCosts& sc = clusters[split];
    const Point centre{float(sc.m[0] / sc.w), float(sc.m[1] / sc.w), float(sc.m[2] / sc.w)};
    const float step = 0.8f * deviation;
    points_[split] = Point{centre.L - step * axis.L, centre.a - step * axis.a, centre.b - step * axis.b};
    points_[gone] = Point{centre.L + step * axis.L, centre.a + step * axis.a, centre.b + step * axis.b};
    touched[gone] = touched[split] = true;
    ++made, ++r, ++s;
  }
  if (made == 0) return false;
  const double after = Iterate(6);
  if (std::getenv("TQ_DEBUG")) std::fprintf(stderr, "relocate %zu: %.5f -> %.5f\n", made, cost, after);
  if (after < cost) {
    cost = after;
    return true;
  }
  points_ = before;
  nearest_ = nearestBefore;
  return false;
}

}  // namespace

void RefineByKMeans(const WorkingColours& colours, std::vector<Point>& points,
                    const KMeansOptions& options) {
  if (points.size() < 2 || colours.Size() == 0) return;
  KMeans kmeans(colours, points, options);
  double cost = kmeans.Iterate(options.maxIterations);
  for (int round = 0; round < options.relocationRounds; ++round)
    if (!kmeans.Relocate(cost)) break;
}

}  // namespace tavlo::quantize
