#pragma once
// The preview's rule for the quantizer's colour lists: each colour goes to the palette entry
// nearest to it by squared RGB distance, ties to the lower index.
#include <cstdint>
#include <vector>

#include "base/color_value.h"

namespace tavlo::quantize {

// For every colour of `colours`, the index of its nearest entry of `palette` (1..256 colours)
// and, when `second` is given, the entry it would go to if the nearest were not there (the
// nearest itself for a palette of one colour). `distance2`, when given, receives the squared
// RGB distance to the nearest entry, `secondDistance2` to the second.
struct NearestEntries {
  std::vector<std::uint16_t> first, second;
  std::vector<std::int32_t> distance2, secondDistance2;
};
NearestEntries AssignNearestEntries(const std::vector<ColorValue>& colors,
                                    const std::vector<ColorValue>& palette, int threads);

// The same answers, kept up to date while the entries of a palette move a little at a time (the
// local search). Each colour keeps a lower bound of its distance to every entry but its two
// nearest. After a move, a colour compares its two nearest again and, of the entries that moved,
// only those near enough to its nearest to matter; entries that did not move are no nearer than
// the bound. Only a colour whose bound no longer shows the answer is searched over every entry.
class NearestTracker {
 public:
  NearestTracker(const std::vector<ColorValue>& colors, int threads);

  // The answers for `palette`; the work depends on how many of its entries moved, and how far,
  // since the last call.
  const NearestEntries& Assign(const std::vector<ColorValue>& palette);

 private:
  struct MovedNear;
  // Whether the colour's answers could be renewed from the entries near its nearest.
  bool Renew(std::size_t color, const MovedNear& moved);
  // Keeps the colour's three smallest keys over all entries (squared distance x 256 + index).
  void Keep(std::size_t color, const std::int32_t* keys);

  const std::vector<ColorValue>& colors_;
  const int threads_;
  std::vector<ColorValue> palette_;
  std::vector<float> others_;  // per colour: no entry but its two nearest is nearer (RGB units)
  NearestEntries near_;
};

}  // namespace tavlo::quantize
