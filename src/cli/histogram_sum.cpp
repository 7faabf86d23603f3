#include "cli/histogram_sum.h"

#include <algorithm>
#include <limits>

namespace tavlo::cli {

void HistogramSum::Add(std::vector<ColorCount> picture) {
  // Both lists ascending by colour: one merge pass.
  std::ranges::sort(picture, {}, &ColorCount::color);
  std::vector<std::pair<ColorValue, std::uint64_t>> sum;
  sum.reserve(colors_.size() + picture.size());
  auto mine = colors_.begin();
  for (const ColorCount& theirs : picture) {
    for (; mine != colors_.end() && mine->first < theirs.color; ++mine) sum.push_back(*mine);
    if (mine != colors_.end() && mine->first == theirs.color) {
      sum.emplace_back(theirs.color, mine->second + theirs.count);
      ++mine;
    } else {
      sum.emplace_back(theirs.color, theirs.count);
    }
  }
  sum.insert(sum.end(), mine, colors_.end());
  colors_ = std::move(sum);
}

std::vector<ColorCount> HistogramSum::Counts() const {
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t largest = 0;
  for (const auto& color : colors_) largest = std::max(largest, color.second);
  const std::uint64_t divisor = largest <= kMost ? 1 : largest / kMost + 1;
  std::vector<ColorCount> counts;
  counts.reserve(colors_.size());
  for (const auto& [color, pixels] : colors_)
    counts.push_back(
        {color, static_cast<std::uint32_t>(std::max<std::uint64_t>(1, pixels / divisor))});
  return counts;
}

}  // namespace tavlo::cli
