#include "quantize/rgb_local_search.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>

#include "quantize/parallel_chunks.h"
#include "quantize/rgb_nearest.h"

// The loops over one entry's colours below become vector code; on x86-64 they get an AVX2 copy
// as well, chosen when the program starts.
#if defined(__x86_64__) && defined(__GNUC__)
#define TAVLO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TAVLO_VECTOR_CLONES
#endif

namespace tavlo::quantize {
namespace {

struct Rgb {
  std::int32_t r = 0, g = 0, b = 0;
};

Rgb RgbOf(ColorValue c) {
  return {RedOf(c), GreenOf(c), BlueOf(c)};
}

constexpr int kMoves = 6;  // one step down and up on each channel

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

// One entry's colours, copied side by side: those it is nearest to ("own"), then those it is
// second nearest to ("next"). A colour goes to the moved entry when its squared RGB distance to
// it is below `limit` (the distance to the entry it would otherwise go to, plus one when the
// moved entry wins a tie by its lower index). `keep` is the working-space distance the colour
// has when it does not go to the moved entry, `now` the one it has today.
struct EntryColors {
  std::vector<std::int32_t> r, g, b, limit;
  std::vector<float> L, a, bb, weight, keep, now;
  std::size_t own = 0;

  void Resize(std::size_t n) {
    for (auto* v : {&r, &g, &b, &limit}) v->resize(n);
    for (auto* v : {&L, &a, &bb, &weight, &keep, &now}) v->resize(n);
  }
};

// The cost change of every colour of `c` if the entry moved to `rgb` / `point`, for one move.
TAVLO_VECTOR_CLONES
void ChangesOfMove(const EntryColors& c, std::size_t n, Rgb rgb, Point point,
                   float* __restrict change) {
  const std::int32_t* __restrict r = c.r.data();
  const std::int32_t* __restrict g = c.g.data();
  const std::int32_t* __restrict b = c.b.data();
  const std::int32_t* __restrict limit = c.limit.data();
  const float* __restrict L = c.L.data();
  const float* __restrict a = c.a.data();
  const float* __restrict bb = c.bb.data();
  const float* __restrict weight = c.weight.data();
  const float* __restrict keep = c.keep.data();
  const float* __restrict now = c.now.data();
  for (std::size_t i = 0; i < n; ++i) {
    const std::int32_t dr = r[i] - rgb.r, dg = g[i] - rgb.g, db = b[i] - rgb.b;
    const bool goes = dr * dr + dg * dg + db * db < limit[i];
    const float dL = L[i] - point.L, da = a[i] - point.a, dbb = bb[i] - point.b;
    const float there = std::sqrt(dL * dL + da * da + dbb * dbb);
    change[i] = weight[i] * ((goes ? there : keep[i]) - now[i]);
  }
}

struct Move {
  double change = 0;  // below 0: worth making
  ColorValue color = 0;
};

class Search {
 public:
  Search(const WorkingColors& colors, std::vector<ColorValue> palette, int threads)
      : c_(colors), threads_(threads), palette_(std::move(palette)), tracker_(c_.color, threads) {
    SetEntries();
  }

  // Every colour's nearest and second-nearest entry; returns the weighted working-space cost.
  double AssignAll() {
    near_ = &tracker_.Assign(palette_);
    nowDistance_.resize(c_.Size());
    secondDistance_.resize(c_.Size());
    std::vector<double> perChunk(ChunkCount(c_.Size()));
    ForEachChunk(c_.Size(), threads_, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
      double cost = 0;
      for (std::size_t i = begin; i < end; ++i) {
        nowDistance_[i] = DistanceTo(i, points_[near_->first[i]]);
        secondDistance_[i] = DistanceTo(i, points_[near_->second[i]]);
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
    const Groups byFirst(near_->first, k), bySecond(near_->second, k);
    std::vector<Move> moves(k);
    ForEachChunk(
        k, threads_,
        [&](std::size_t, std::size_t begin, std::size_t end) {
          thread_local EntryColors gathered;
          thread_local std::vector<float> changes;
          for (std::size_t e = begin; e < end; ++e)
            moves[e] = BestMove(e, step, Gather(e, byFirst, bySecond, gathered), changes);
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

  // Copies entry e's colours into `out`: those it is nearest to, then those it is second nearest
  // to (whose nearest is another entry); colours of neither are too far from e to notice a small
  // move.
  const EntryColors& Gather(std::size_t e, const Groups& byFirst, const Groups& bySecond,
                            EntryColors& out) const {
    const std::uint32_t ownBegin = byFirst.start[e], ownEnd = byFirst.start[e + 1];
    const std::uint32_t nextBegin = bySecond.start[e], nextEnd = bySecond.start[e + 1];
    out.own = ownEnd - ownBegin;
    out.Resize(out.own + (nextEnd - nextBegin));
    std::size_t m = 0;
    auto copy = [&](std::uint32_t i, std::int32_t limit, float keep) {
      const ColorValue color = c_.color[i];
      out.r[m] = RedOf(color), out.g[m] = GreenOf(color), out.b[m] = BlueOf(color);
      out.limit[m] = limit;
      out.L[m] = c_.L[i], out.a[m] = c_.a[i], out.bb[m] = c_.b[i];
      out.weight[m] = c_.weight[i];
      out.keep[m] = keep;
      out.now[m] = nowDistance_[i];
      ++m;
    };
    for (std::uint32_t s = ownBegin; s < ownEnd; ++s) {
      const std::uint32_t i = byFirst.items[s];
      copy(i, near_->secondDistance2[i] + (e < near_->second[i]), secondDistance_[i]);
    }
    for (std::uint32_t s = nextBegin; s < nextEnd; ++s) {
      const std::uint32_t i = bySecond.items[s];
      const std::size_t f = near_->first[i];
      // Not going to the moved entry leaves the colour where it is: no change.
      copy(i, f == e ? INT32_MIN : near_->distance2[i] + (e < f), nowDistance_[i]);
    }
    return out;
  }

  Move BestMove(std::size_t e, int step, const EntryColors& colors,
                std::vector<float>& changes) const {
    const std::size_t n = colors.r.size();
    changes.resize(n * kMoves);
    ColorValue moved[kMoves];
    bool possible[kMoves];
    for (int m = 0; m < kMoves; ++m) {
      Rgb to = entries_[e];
      std::int32_t& channel = m / 2 == 0 ? to.r : m / 2 == 1 ? to.g : to.b;
      const std::int32_t value = std::clamp(channel + (m % 2 == 0 ? -step : step), 0, 255);
      possible[m] = value != channel;
      channel = value;
      moved[m] = MakeColor(to.r, to.g, to.b);
      if (possible[m])
        ChangesOfMove(colors, n, to, WorkingPointOf(moved[m]), &changes[std::size_t(m) * n]);
    }
    // Summed in the colours' order, one sum per move.
    double sum[kMoves] = {};
    for (std::size_t i = 0; i < n; ++i)
      for (int m = 0; m < kMoves; ++m) sum[m] += changes[std::size_t(m) * n + i];
    Move best;
    for (int m = 0; m < kMoves; ++m)
      if (possible[m] && sum[m] < best.change) best = Move{sum[m], moved[m]};
    return best;
  }

  const WorkingColors& c_;
  const int threads_;
  std::vector<ColorValue> palette_;
  std::vector<Rgb> entries_;
  std::vector<Point> points_;
  NearestTracker tracker_;
  const NearestEntries* near_ = nullptr;
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
    ThrowIfStopped(options.stop);
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
