#pragma once
// The entries each distinct colour of a picture may be written as under a loss budget T: its
// nearest entry by the preview's rule, and every other entry of the range whose colour is within
// T of it (CIEDE2000). The loss-budget encoder picks among these per pixel, so whatever it picks,
// no pixel ends further from its colour than T or its nearest entry's difference.
#include <atomic>
#include <cstdint>
#include <vector>

#include "reduction/picture_colours.h"

namespace tavlo {

// Largest loss budget: beyond it substitutions are plainly visible.
inline constexpr double kMaxLossBudget = 10.0;

struct AllowedEntries {
  double budget = 0;
  // Colour i may be written as entry[k] for start[i] <= k < start[i + 1]: its nearest entry
  // first, then the others within budget in range order. loss[k] is the CIEDE2000 difference
  // between the colour and that entry, as the result figures measure it.
  std::vector<std::uint32_t> start;
  std::vector<std::uint8_t> entry;
  std::vector<float> loss;
  // How far a CIELAB difference looks at each colour: 1 / S_L^2 and 1 / S_C^2 of CIEDE2000 there.
  std::vector<float> lightWeight, chromaWeight;
  std::uint32_t Count(size_t colour) const { return start[colour + 1] - start[colour]; }
  size_t Bytes() const {
    return start.capacity() * 4 + entry.capacity() + loss.capacity() * 4 +
           lightWeight.capacity() * 4 + chromaWeight.capacity() * 4;
  }
};

// The allowed entries of every colour of `colours` for the range `entries`, whose nearest entry
// of each colour is `nearest` and its difference `nearestLoss` (the result cache's). Returns
// false, with `allowed` of no use, when `stop` became true. Throws std::bad_alloc.
bool FindAllowedEntries(const PictureColours& colours, const std::vector<ColorValue>& entries,
                        const std::vector<std::uint8_t>& nearest,
                        const std::vector<float>& nearestLoss, double budget,
                        AllowedEntries& allowed, int threads = 0,
                        const std::atomic<bool>* stop = nullptr);

}  // namespace tavlo
