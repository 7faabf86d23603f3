#include "quantize/rgb_local_search.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>

#include "quantize/parallel_chunks.h"
#include "quantize/rgb_nearest.h"

namespace tavlo::quantize {
namespace {

struct Rgb {
  std::int32_t r = 0, g = 0, b = 0;
};

Rgb RgbOf(ColorValue c) {
  return {RedOf(c), GreenOf(c), BlueOf(c)};
}

std::int32_t Distance2(const Rgb& p, const Rgb& q) {
  const std::int32_t dr = p.r - q.r, dg = p.g - q.g, db = p.b - q.b;
  return dr * dr + dg * dg + db * db;
}

// True when a colour at squared distances d (entry e) and dOther (entry other) goes to e.
bool Prefers(std::int32_t d, std::size_t e, std::int32_t dOther, std::size_t other) {
  return d < dOther || (d == dOther && e < other);
}

// Colours grouped by an entry index: the colours of entry e are items[start[e]..start[e+1]).
struct Groups {
  std::vector<std::uint32_t> start, items;
  Groups(const std::vector<std::uint16_t>& by, std::size_t k) : start(k + 1, 0), items(by.size()) {
    for (std::uint16_t e : by) ++start[e + 1];
    for (std::size_t e = 0; e < k; ++e) start[e + 1] += start[e];
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    for (std::uint32_t i = 0; i < by.size(); ++i) items[next[by[i]]++] = i;
  }
};

struct Move {
  double change = 0;  // below 0: worth making
  ColorValue color = 0;
};

class Search {
 public:
  Search(const WorkingColors& colors, std::vector<ColorValue> palette, int threads)
      : c_(colors), threads_(threads), palette_(std::move(palette)), rgb_(c_.Size()) {
    for (std::size_t i = 0; i < c_.Size(); ++i) rgb_[i] = RgbOf(c_.color[i]);
    SetEntries();
  }

  // Every colour's nearest and second-nearest entry; returns the weighted working-space cost.
  double AssignAll() {
    near_ = AssignNearestEntries(c_.color, palette_, threads_);
    nowDistance_.resize(c_.Size());
    secondDistance_.resize(c_.Size());
    std::vector<double> perChunk(ChunkCount(c_.Size()));
    ForEachChunk(c_.Size(), threads_, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
      double cost = 0;
      for (std::size_t i = begin; i < end; ++i) {
        nowDistance_[i] = DistanceTo(i, points_[near_.first[i]]);
        secondDistance_[i] = DistanceTo(i, points_[near_.second[i]]);
        cost += c_.weight[i] * nowDistance_[i];
      }
      perChunk[chunk] = cost;
    });
    double cost = 0;
    for (double c : perChunk) cost += c;
    return cost;
  }

  // Finds the best move of every entry at `step` against the same assignment and makes them all.
  // Returns the number of moves made.
  int Pass(int step) {
    const std::size_t k = palette_.size();
    const Groups byFirst(near_.first, k), bySecond(near_.second, k);
    std::vector<Move> moves(k);
    ForEachChunk(
        k, threads_,
        [&](std::size_t, std::size_t begin, std::size_t end) {
          for (std::size_t e = begin; e < end; ++e) moves[e] = BestMove(e, step, byFirst, bySecond);
        },
        1);
    int made = 0;
    std::set<ColorValue> taken(palette_.begin(), palette_.end());
    for (std::size_t e = 0; e < k; ++e) {
      if (moves[e].change >= 0 || taken.count(moves[e].color)) continue;
      taken.erase(palette_[e]);
      palette_[e] = moves[e].color;
      taken.insert(palette_[e]);
      ++made;
    }
    SetEntries();
    return made;
  }

  const std::vector<ColorValue>& Palette() const { return palette_; }
  void SetPalette(const std::vector<ColorValue>& palette) {
    palette_ = palette;
    SetEntries();
  }

 private:
  void SetEntries() {
    entries_.clear();
    points_.clear();
    for (ColorValue p : palette_) {
      entries_.push_back(RgbOf(p));
      points_.push_back(WorkingPointOf(p));
    }
  }

  float DistanceTo(std::size_t i, const Point& p) const {
    const float dL = c_.L[i] - p.L, da = c_.a[i] - p.a, db = c_.b[i] - p.b;
    return std::sqrt(dL * dL + da * da + db * db);
  }

  // The change of cost if entry e took the colour `moved`, over the colours whose nearest or
  // second-nearest entry e is (the others are too far from e to notice a small move).
  double CostChange(std::size_t e, const Rgb& moved, const Point& movedPoint, const Groups& byFirst,
                    const Groups& bySecond) const {
    double change = 0;
    for (std::uint32_t m = byFirst.start[e]; m < byFirst.start[e + 1]; ++m) {
      const std::uint32_t i = byFirst.items[m];
      const bool stays =
          Prefers(Distance2(rgb_[i], moved), e, near_.secondDistance2[i], near_.second[i]);
      change += c_.weight[i] *
                ((stays ? DistanceTo(i, movedPoint) : secondDistance_[i]) - nowDistance_[i]);
    }
    for (std::uint32_t m = bySecond.start[e]; m < bySecond.start[e + 1]; ++m) {
      const std::uint32_t i = bySecond.items[m];
      const std::size_t f = near_.first[i];
      if (f != e && Prefers(Distance2(rgb_[i], moved), e, near_.distance2[i], f))
        change += c_.weight[i] * (DistanceTo(i, movedPoint) - nowDistance_[i]);
    }
    return change;
  }

  Move BestMove(std::size_t e, int step, const Groups& byFirst, const Groups& bySecond) const {
    Move best;
    for (int axis = 0; axis < 3; ++axis)
      for (int sign : {-1, 1}) {
        Rgb moved = entries_[e];
        std::int32_t& channel = axis == 0 ? moved.r : axis == 1 ? moved.g : moved.b;
        const std::int32_t to = std::clamp(channel + sign * step, 0, 255);
        if (to == channel) continue;
        channel = to;
        const ColorValue color = MakeColor(moved.r, moved.g, moved.b);
        const double change = CostChange(e, moved, WorkingPointOf(color), byFirst, bySecond);
        if (change < best.change) best = Move{change, color};
      }
    return best;
  }

  const WorkingColors& c_;
  const int threads_;
  std::vector<ColorValue> palette_;
  std::vector<Rgb> entries_;
  std::vector<Point> points_;
  std::vector<Rgb> rgb_;
  NearestEntries near_;
  std::vector<float> nowDistance_, secondDistance_;  // to the nearest and second-nearest entry
};

}  // namespace

std::vector<ColorValue> TuneOnRgbRule(const WorkingColors& colors, std::vector<ColorValue> palette,
                                      const LocalSearchOptions& options) {
  if (palette.size() < 2) return palette;
  Search search(colors, std::move(palette), options.threads);
  double cost = search.AssignAll();
  std::vector<ColorValue> best = search.Palette();
  int step = options.firstStep;
  for (int pass = 0; pass < options.maxPasses && step > 0; ++pass) {
    const int made = search.Pass(step);
    const double after = search.AssignAll();
    if (after < cost) {
      cost = after;
      best = search.Palette();
      if (made * 16 < static_cast<int>(best.size())) step /= 2;
    } else {
      // The moves got in each other's way: back to the best palette, smaller steps.
      search.SetPalette(best);
      search.AssignAll();
      step /= 2;
    }
  }
  return best;
}

}  // namespace tavlo::quantize
