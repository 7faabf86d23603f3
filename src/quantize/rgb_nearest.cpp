#include "quantize/rgb_nearest.h"

#include <algorithm>
#include <cmath>

#include "quantize/parallel_chunks.h"

namespace tavlo::quantize {
namespace {

struct Rgb {
  std::int32_t r, g, b;
};

Rgb RgbOf(ColorValue c) {
  return {RedOf(c), GreenOf(c), BlueOf(c)};
}

std::int32_t Distance2(const Rgb& p, const Rgb& q) {
  const std::int32_t dr = p.r - q.r, dg = p.g - q.g, db = p.b - q.b;
  return dr * dr + dg * dg + db * db;
}

// For each entry the others by rising distance from it. A colour at distance d from entry e is
// at least d(e, f) - d from entry f, so once d(e, f) exceeds d + r no later entry is within r of
// the colour: a search for the entries within r stops there (the margin covers rounding of the
// square roots, so no entry at distance r or nearer is missed).
class EntryNeighbours {
 public:
  explicit EntryNeighbours(const std::vector<Rgb>& entries) : k_(entries.size()) {
    distance_.resize(k_ * k_);
    index_.resize(k_ * k_);
    std::vector<std::pair<std::int32_t, std::uint16_t>> row;
    for (std::size_t e = 0; e < k_; ++e) {
      row.clear();
      for (std::size_t f = 0; f < k_; ++f)
        if (f != e) row.emplace_back(Distance2(entries[e], entries[f]), static_cast<std::uint16_t>(f));
      std::sort(row.begin(), row.end());
      for (std::size_t m = 0; m < row.size(); ++m) {
        distance_[e * k_ + m] = std::sqrt(static_cast<float>(row[m].first));
        index_[e * k_ + m] = row[m].second;
      }
    }
  }
  std::size_t Size() const { return k_; }
  const float* Distances(std::size_t e) const { return &distance_[e * k_]; }
  const std::uint16_t* Indices(std::size_t e) const { return &index_[e * k_]; }

 private:
  std::size_t k_;
  std::vector<float> distance_;
  std::vector<std::uint16_t> index_;
};

// Orders entries as the rule does: nearer first, and of equally near ones the lower index.
struct Candidate {
  std::int32_t d2 = INT32_MAX;
  std::size_t index = 0;
  bool Before(const Candidate& o) const { return d2 < o.d2 || (d2 == o.d2 && index < o.index); }
};

// The nearest entry, and when `withSecond` the next one, searched outward from `guess`.
void Nearest(const std::vector<Rgb>& entries, const EntryNeighbours& neighbours, const Rgb& colour,
             std::size_t guess, bool withSecond, Candidate& first, Candidate& second) {
  first = {Distance2(colour, entries[guess]), guess};
  second = {};
  const float guessD = std::sqrt(static_cast<float>(first.d2));
  float bound = guessD + (withSecond ? 512.0f : guessD) + 1e-3f;
  const float* distance = neighbours.Distances(guess);
  const std::uint16_t* index = neighbours.Indices(guess);
  for (std::size_t m = 0; m + 1 < entries.size() && distance[m] <= bound; ++m) {
    const Candidate c{Distance2(colour, entries[index[m]]), index[m]};
    if (c.Before(first)) {
      second = first;
      first = c;
    } else if (withSecond && c.Before(second)) {
      second = c;
    } else {
      continue;
    }
    const Candidate& reach = withSecond ? second : first;
    if (reach.d2 != INT32_MAX) bound = guessD + std::sqrt(static_cast<float>(reach.d2)) + 1e-3f;
  }
  if (second.d2 == INT32_MAX) second = first;
}

void Assign(const std::vector<ColorValue>& colours, const std::vector<ColorValue>& palette,
            std::vector<std::uint16_t>& nearest, std::vector<std::uint16_t>* second,
            int threads) {
  std::vector<Rgb> entries;
  for (ColorValue c : palette) entries.push_back(RgbOf(c));
  const EntryNeighbours neighbours(entries);
  const bool guessed = nearest.size() == colours.size();
  nearest.resize(colours.size(), 0);
  if (second) second->resize(colours.size());
  ForEachChunk(colours.size(), threads, [&](std::size_t, std::size_t begin, std::size_t end) {
    Candidate first, next;
    for (std::size_t i = begin; i < end; ++i) {
      const std::size_t guess = guessed && nearest[i] < entries.size() ? nearest[i] : 0;
      Nearest(entries, neighbours, RgbOf(colours[i]), guess, second != nullptr, first, next);
      nearest[i] = static_cast<std::uint16_t>(first.index);
      if (second) (*second)[i] = static_cast<std::uint16_t>(next.index);
    }
  });
}

}  // namespace

void AssignNearestEntries(const std::vector<ColorValue>& colours,
                          const std::vector<ColorValue>& palette, std::vector<std::uint16_t>& nearest,
                          int threads) {
  Assign(colours, palette, nearest, nullptr, threads);
}

void AssignTwoNearestEntries(const std::vector<ColorValue>& colours,
                             const std::vector<ColorValue>& palette,
                             std::vector<std::uint16_t>& nearest,
                             std::vector<std::uint16_t>& second, int threads) {
  Assign(colours, palette, nearest, &second, threads);
}

}  // namespace tavlo::quantize
