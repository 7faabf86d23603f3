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

// The edit that writes `entries` back around the fixed entry.
RangeEdit Written(const PaletteColors& colors, EntryRange range,
                  const std::vector<ColorValue>& entries, int removed, int fixed) {
  return {WithRangeEntries(colors, range, entries, fixed), removed,
          PlacesHeld(range, static_cast<int>(entries.size()), fixed)};
}

}  // namespace

std::vector<ColorValue> RangeEntries(const PaletteColors& colors, EntryRange range, int fixed) {
  range = Clamped(range);
  std::vector<ColorValue> entries;
  for (int i = range.first; i <= range.last; ++i)
    if (i != fixed) entries.push_back(colors[static_cast<std::size_t>(i)]);
  return entries;
}

PaletteColors WithRangeEntries(const PaletteColors& colors, EntryRange range,
                               const std::vector<ColorValue>& entries, int fixed) {
  range = Clamped(range);
  PaletteColors result = colors;
  std::size_t k = 0;
  for (int i = range.first; i <= range.last; ++i) {
    if (i == fixed) continue;
    result[static_cast<std::size_t>(i)] = k < entries.size() ? entries[k] : 0;
    ++k;
  }
  return result;
}

int PlacesHeld(EntryRange range, int entries, int fixed) {
  range = Clamped(range);
  if (!range.Contains(fixed)) return entries;
  const int fixedPlace = fixed - range.first;
  return std::max(fixedPlace + 1, entries < fixedPlace + 1 ? entries : entries + 1);
}

RangeEdit PaletteFromPicture(const PaletteColors& colors, EntryRange range,
                             const std::vector<ColorCount>& histogram,
                             const QuantizeOptions& options, std::optional<ColorValue> reserved) {
  range = Clamped(range);
  if (!reserved || range.Count() < 2) {
    const std::vector<ColorValue> palette = PaletteFromHistogram(histogram, range.Count(), options);
    return {WithRangeEntries(colors, range, palette), 0, static_cast<int>(palette.size())};
  }
  PaletteColors withReserved = colors;
  withReserved[static_cast<std::size_t>(range.first)] = *reserved;
  const std::vector<ColorValue> palette =
      PaletteFromHistogram(histogram, range.Count() - 1, options);
  return Written(withReserved, range, palette, 0, range.first);
}

RangeEdit RemoveUnusedEntries(const PaletteColors& colors, EntryRange range,
                              const std::vector<ColorCount>& histogram, StopFlag stop, int fixed) {
  range = Clamped(range);
  const std::vector<ColorValue> entries = RangeEntries(colors, range, fixed);
  if (entries.empty()) return {colors, 0, range.Count()};
  const std::vector<std::uint64_t> usage = UsageOf(entries, histogram, stop);
  std::vector<ColorValue> kept;
  for (std::size_t e = 0; e < entries.size(); ++e)
    if (usage[e] > 0) kept.push_back(entries[e]);
  const int removed = static_cast<int>(entries.size() - kept.size());
  if (removed == 0) return {colors, 0, range.Count()};
  return Written(colors, range, kept, removed, fixed);
}

RangeEdit MergeNearColors(const PaletteColors& colors, EntryRange range,
                          const std::vector<ColorCount>& histogram, double threshold, StopFlag stop,
                          int fixed) {
  range = Clamped(range);
  std::vector<ColorValue> entries = RangeEntries(colors, range, fixed);
  if (entries.empty()) return {colors, 0, range.Count()};
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
  if (removed == 0) return {colors, 0, range.Count()};
  std::vector<ColorValue> kept;
  for (std::size_t e = 0; e < k; ++e)
    if (live[e]) kept.push_back(entries[e]);
  return Written(colors, range, kept, removed, fixed);
}

}  // namespace tavlo
