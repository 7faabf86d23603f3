#include "quantize/range_operations.h"

#include <algorithm>

#include "color_science/ciede2000.h"
#include "quantize/rgb_nearest.h"
#include "quantize/working_space.h"

namespace tavlo {
namespace {

EntryRange Clamped(EntryRange range) {
  range.first = std::clamp(range.first, 0, kPaletteSize - 1);
  range.last = std::clamp(range.last, range.first, kPaletteSize - 1);
  return range;
}

// The pixels each entry of `entries` gets by the preview's rule.
std::vector<std::uint64_t> UsageOf(const std::vector<ColorValue>& entries,
                                   const std::vector<ColorCount>& histogram, StopFlag stop) {
  std::vector<ColorValue> colors;
  colors.reserve(histogram.size());
  for (const ColorCount& c : histogram) colors.push_back(c.color);
  const std::vector<std::uint16_t> nearest =
      quantize::AssignNearestEntries(colors, entries, 0).first;
  ThrowIfStopped(stop);
  std::vector<std::uint64_t> usage(entries.size(), 0);
  for (std::size_t i = 0; i < histogram.size(); ++i) usage[nearest[i]] += histogram[i].count;
  return usage;
}

}  // namespace

std::vector<ColorValue> RangeEntries(const PaletteColors& colors, EntryRange range) {
  range = Clamped(range);
  return std::vector<ColorValue>(colors.begin() + range.first, colors.begin() + range.last + 1);
}

PaletteColors WithRangeEntries(const PaletteColors& colors, EntryRange range,
                               const std::vector<ColorValue>& entries) {
  range = Clamped(range);
  PaletteColors result = colors;
  for (int i = range.first; i <= range.last; ++i) {
    const std::size_t k = static_cast<std::size_t>(i - range.first);
    result[static_cast<std::size_t>(i)] = k < entries.size() ? entries[k] : 0;
  }
  return result;
}

RangeEdit PaletteFromPicture(const PaletteColors& colors, EntryRange range,
                             const std::vector<ColorCount>& histogram,
                             const QuantizeOptions& options) {
  range = Clamped(range);
  const std::vector<ColorValue> palette = PaletteFromHistogram(histogram, range.Count(), options);
  return {WithRangeEntries(colors, range, palette), 0, static_cast<int>(palette.size())};
}

RangeEdit RemoveUnusedEntries(const PaletteColors& colors, EntryRange range,
                              const std::vector<ColorCount>& histogram, StopFlag stop) {
  range = Clamped(range);
  const std::vector<ColorValue> entries = RangeEntries(colors, range);
  const std::vector<std::uint64_t> usage = UsageOf(entries, histogram, stop);
  std::vector<ColorValue> kept;
  for (std::size_t e = 0; e < entries.size(); ++e)
    if (usage[e] > 0) kept.push_back(entries[e]);
  const int removed = static_cast<int>(entries.size() - kept.size());
  if (removed == 0) return {colors, 0, static_cast<int>(entries.size())};
  return {WithRangeEntries(colors, range, kept), removed, static_cast<int>(kept.size())};
}

RangeEdit MergeNearColors(const PaletteColors& colors, EntryRange range,
                          const std::vector<ColorCount>& histogram, double threshold,
                          StopFlag stop) {
  range = Clamped(range);
  std::vector<ColorValue> entries = RangeEntries(colors, range);
  std::vector<std::uint64_t> usage = UsageOf(entries, histogram, stop);
  const std::size_t k = entries.size();
  std::vector<Lab> lab;
  for (ColorValue c : entries) lab.push_back(LabFromColor(c));
  std::vector<double> distance(k * k, 0);
  auto measure = [&](std::size_t x) {
    for (std::size_t y = 0; y < k; ++y)
      distance[x * k + y] = distance[y * k + x] = x == y ? 0 : Ciede2000(lab[x], lab[y]);
  };
  for (std::size_t x = 0; x < k; ++x) measure(x);
  std::vector<bool> live(k, true);
  int removed = 0;
  for (;;) {
    ThrowIfStopped(stop);
    double nearest = threshold;
    std::size_t px = k, py = k;
    for (std::size_t x = 0; x < k; ++x)
      for (std::size_t y = x + 1; live[x] && y < k; ++y)
        if (live[y] && distance[x * k + y] < nearest) nearest = distance[x * k + y], px = x, py = y;
    if (px == k) break;
    const std::size_t keep = usage[py] > usage[px] ? py : px, gone = keep == px ? py : px;
    entries[keep] = quantize::WeightedMean(entries[px], usage[px], entries[py], usage[py]);
    usage[keep] += usage[gone];
    live[gone] = false;
    lab[keep] = LabFromColor(entries[keep]);
    measure(keep);
    ++removed;
  }
  if (removed == 0) return {colors, 0, static_cast<int>(k)};
  std::vector<ColorValue> kept;
  for (std::size_t e = 0; e < k; ++e)
    if (live[e]) kept.push_back(entries[e]);
  return {WithRangeEntries(colors, range, kept), removed, static_cast<int>(kept.size())};
}

}  // namespace tavlo
