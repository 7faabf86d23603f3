#include "quantize/variance_split.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <queue>

namespace tavlo::quantize {
namespace {

struct Sums {
  double w = 0, L = 0, a = 0, b = 0, squares = 0;

  void Add(const WorkingColors& c, std::uint32_t i) {
    const double wi = c.weight[i];
    w += wi;
    L += wi * c.L[i];
    a += wi * c.a[i];
    b += wi * c.b[i];
    squares += wi * (double(c.L[i]) * c.L[i] + double(c.a[i]) * c.a[i] + double(c.b[i]) * c.b[i]);
  }
  Sums Minus(const Sums& o) const {
    return {w - o.w, L - o.L, a - o.a, b - o.b, squares - o.squares};
  }
  Sums Plus(const Sums& o) const {
    return {w + o.w, L + o.L, a + o.a, b + o.b, squares + o.squares};
  }
  double Error() const { return w > 0 ? squares - (L * L + a * a + b * b) / w : 0; }
  Point Mean() const {
    return Point{static_cast<float>(L / w), static_cast<float>(a / w), static_cast<float>(b / w)};
  }
};

struct Box {
  std::size_t begin = 0, end = 0;  // a range of `order`
  Sums sums;
  double error = 0;
  int id = 0;
  bool operator<(const Box& o) const {  // for the queue: largest error first, then oldest
    return error != o.error ? error < o.error : id > o.id;
  }
};

const std::vector<float>& Axis(const WorkingColors& c, int axis) {
  return axis == 0 ? c.L : axis == 1 ? c.a : c.b;
}

// The axis along which the box's colours spread most (weighted variance).
int WidestAxis(const WorkingColors& c, const std::vector<std::uint32_t>& order, const Box& box) {
  double best = -1;
  int widest = 0;
  for (int axis = 0; axis < 3; ++axis) {
    const std::vector<float>& v = Axis(c, axis);
    double s = 0, s2 = 0;
    for (std::size_t k = box.begin; k < box.end; ++k) {
      const std::uint32_t i = order[k];
      s += double(c.weight[i]) * v[i];
      s2 += double(c.weight[i]) * v[i] * v[i];
    }
    const double variance = s2 - s * s / box.sums.w;
    if (variance > best) best = variance, widest = axis;
  }
  return widest;
}

// Cuts the box across its widest axis where the two halves keep the least error, the place
// chosen among the borders of kBuckets equal slices of the box (finer is not worth it: k-means
// moves the points afterwards). Reorders the box's part of `order` so that the first half comes
// first, and returns where the second half begins.
std::size_t BestCut(const WorkingColors& c, std::vector<std::uint32_t>& order, const Box& box) {
  constexpr int kBuckets = 512;
  const std::vector<float>& v = Axis(c, WidestAxis(c, order, box));
  float low = INFINITY, high = -INFINITY;
  for (std::size_t k = box.begin; k < box.end; ++k)
    low = std::min(low, v[order[k]]), high = std::max(high, v[order[k]]);
  const float scale = high > low ? (kBuckets - 0.01f) / (high - low) : 0;
  auto bucketOf = [&](std::uint32_t i) { return static_cast<int>((v[i] - low) * scale); };
  std::vector<Sums> buckets(kBuckets);
  for (std::size_t k = box.begin; k < box.end; ++k) buckets[bucketOf(order[k])].Add(c, order[k]);
  Sums left;
  double best = -1;
  int cut = 0;
  for (int b = 0; b + 1 < kBuckets; ++b) {
    left = left.Plus(buckets[b]);
    if (left.w <= 0 || left.w >= box.sums.w) continue;
    const double error = left.Error() + box.sums.Minus(left).Error();
    if (best < 0 || error < best) best = error, cut = b;
  }
  const auto middle = std::stable_partition(order.begin() + static_cast<std::ptrdiff_t>(box.begin),
                                            order.begin() + static_cast<std::ptrdiff_t>(box.end),
                                            [&](std::uint32_t i) { return bucketOf(i) <= cut; });
  const std::size_t at = static_cast<std::size_t>(middle - order.begin());
  // Colours that differ but fall into one slice: any cut will do.
  return at > box.begin && at < box.end ? at : box.begin + (box.end - box.begin) / 2;
}

Box MakeBox(const WorkingColors& c, const std::vector<std::uint32_t>& order, std::size_t begin,
            std::size_t end, int id, SplitOrder splitOrder) {
  Box box{begin, end, {}, 0, id};
  for (std::size_t k = begin; k < end; ++k) box.sums.Add(c, order[k]);
  // A box of one colour cannot be cut; one whose colours coincide in the working space neither.
  const double squared = std::max(box.sums.Error(), 1e-9);
  box.error = end - begin <= 1                                ? 0
              : splitOrder == SplitOrder::LargestSquaredError ? squared
                                                              : std::sqrt(squared * box.sums.w);
  return box;
}

}  // namespace

Split SplitByVariance(const WorkingColors& colors, int count, SplitOrder splitOrder,
                      StopFlag stop) {
  std::vector<std::uint32_t> order(colors.Size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::vector<Box> done;
  std::priority_queue<Box> boxes;
  if (!order.empty()) boxes.push(MakeBox(colors, order, 0, order.size(), 0, splitOrder));
  int nextId = 1;
  while (!boxes.empty() && static_cast<int>(boxes.size() + done.size()) < count) {
    ThrowIfStopped(stop);
    const Box box = boxes.top();
    boxes.pop();
    if (box.error <= 0) {
      done.push_back(box);
      continue;
    }
    const std::size_t cut = BestCut(colors, order, box);
    boxes.push(MakeBox(colors, order, box.begin, cut, nextId++, splitOrder));
    boxes.push(MakeBox(colors, order, cut, box.end, nextId++, splitOrder));
  }
  for (; !boxes.empty(); boxes.pop()) done.push_back(boxes.top());
  std::sort(done.begin(), done.end(), [](const Box& x, const Box& y) { return x.id < y.id; });
  Split split;
  split.boxOf.resize(order.size());
  for (const Box& box : done) {
    for (std::size_t k = box.begin; k < box.end; ++k)
      split.boxOf[order[k]] = static_cast<std::uint16_t>(split.points.size());
    split.points.push_back(box.sums.Mean());
  }
  return split;
}

}  // namespace tavlo::quantize
