#include "cli/histogram_sum.h"

#include <algorithm>
#include <limits>

namespace tavlo::cli {

void HistogramSum::Add(const ColourHistogram& picture) {
  // Both lists ascend by colour: one merge pass.
  std::vector<std::pair<ColorValue, std::uint64_t>> sum;
  sum.reserve(colours_.size() + picture.colours.size());
  auto mine = colours_.begin();
  for (const ColourCount& theirs : picture.colours) {
    for (; mine != colours_.end() && mine->first < theirs.colour; ++mine) sum.push_back(*mine);
    if (mine != colours_.end() && mine->first == theirs.colour) {
      sum.emplace_back(theirs.colour, mine->second + theirs.count);
      ++mine;
    } else {
      sum.emplace_back(theirs.colour, theirs.count);
    }
  }
  sum.insert(sum.end(), mine, colours_.end());
  colours_ = std::move(sum);
}

std::vector<ColourCount> HistogramSum::Counts() const {
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t largest = 0;
  for (const auto& colour : colours_) largest = std::max(largest, colour.second);
  const std::uint64_t divisor = largest <= kMost ? 1 : largest / kMost + 1;
  std::vector<ColourCount> counts;
  counts.reserve(colours_.size());
  for (const auto& [colour, pixels] : colours_)
    counts.push_back(
        {colour, static_cast<std::uint32_t>(std::max<std::uint64_t>(1, pixels / divisor))});
  return counts;
}

}  // namespace tavlo::cli
