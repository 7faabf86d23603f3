#include "quantize/rgb_nearest.h"

#include <algorithm>
#include <cmath>

#include "quantize/parallel_chunks.h"

namespace tavlo::quantize {
namespace {

struct Rgb {
  std::int32_t r, g, b;
};

std::int32_t Distance2(const Rgb& p, const Rgb& q) {
  const std::int32_t dr = p.r - q.r, dg = p.g - q.g, db = p.b - q.b;
  return dr * dr + dg * dg + db * db;
}

// For each entry the others by rising distance from it. A colour at distance d from entry e is
// at least d(e, f) - d from entry f, so once d(e, f) exceeds d + (the best distance so far) no
// later entry can be as near as the best one: the search stops there, and still never misses an
// entry that is nearer or equally near (the margin covers rounding of the square roots).
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
  const float* Distances(std::size_t e) const { return &distance_[e * k_]; }
  const std::uint16_t* Indices(std::size_t e) const { return &index_[e * k_]; }

 private:
  std::size_t k_;
  std::vector<float> distance_;
  std::vector<std::uint16_t> index_;
};

std::uint16_t Nearest(const std::vector<Rgb>& entries, const EntryNeighbours& neighbours,
                      const Rgb& colour, std::size_t guess) {
  std::size_t best = guess;
  std::int32_t best2 = Distance2(colour, entries[guess]);
  const float guessD = std::sqrt(static_cast<float>(best2));
  float bound = 2 * guessD + 1e-3f;
  const float* distance = neighbours.Distances(guess);
  const std::uint16_t* index = neighbours.Indices(guess);
  for (std::size_t m = 0; m + 1 < entries.size() && distance[m] <= bound; ++m) {
    const std::size_t f = index[m];
    const std::int32_t d2 = Distance2(colour, entries[f]);
    if (d2 < best2 || (d2 == best2 && f < best)) {
      best = f, best2 = d2;
      bound = guessD + std::sqrt(static_cast<float>(d2)) + 1e-3f;
    }
  }
  return static_cast<std::uint16_t>(best);
}

}  // namespace

void AssignNearestEntries(const std::vector<ColorValue>& colours,
                          const std::vector<ColorValue>& palette, std::vector<std::uint16_t>& nearest,
                          int threads) {
  std::vector<Rgb> entries;
  for (ColorValue c : palette) entries.push_back({RedOf(c), GreenOf(c), BlueOf(c)});
  const EntryNeighbours neighbours(entries);
  const bool guessed = nearest.size() == colours.size();
  nearest.resize(colours.size(), 0);
  ForEachChunk(colours.size(), threads, [&](std::size_t, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      const std::size_t guess = guessed && nearest[i] < entries.size() ? nearest[i] : 0;
      const Rgb colour{RedOf(colours[i]), GreenOf(colours[i]), BlueOf(colours[i])};
      nearest[i] = Nearest(entries, neighbours, colour, guess);
    }
  });
}

}  // namespace tavlo::quantize
