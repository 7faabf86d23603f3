#include "quantize/palette_from_histogram.h"

#include <algorithm>
#include <numeric>

#include "quantize/kmeans.h"
#include "quantize/palette_loss.h"
#include "quantize/point_rounding.h"
#include "quantize/rgb_local_search.h"
#include "quantize/rgb_nearest.h"
#include "quantize/variance_split.h"
#include "quantize/working_colors.h"

namespace tavlo {
namespace {

// The palette's entries by falling pixel count under the RGB rule, ties to the lower value. The
// counts depend on the order a little (a colour equally near two entries goes to the earlier), so
// the order is settled again until it no longer changes.
std::vector<ColorValue> OrderedByUsage(const std::vector<ColorCount>& histogram,
                                       std::vector<ColorValue> palette, int threads) {
  std::vector<ColorValue> colors(histogram.size());
  for (std::size_t i = 0; i < histogram.size(); ++i) colors[i] = histogram[i].color;
  for (int round = 0; round < 8; ++round) {
    const std::vector<std::uint16_t> nearest =
        quantize::AssignNearestEntries(colors, palette, threads).first;
    std::vector<std::uint64_t> usage(palette.size(), 0);
    for (std::size_t i = 0; i < histogram.size(); ++i) usage[nearest[i]] += histogram[i].count;
    std::vector<std::size_t> order(palette.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
      return usage[x] != usage[y] ? usage[x] > usage[y] : round == 0 && palette[x] < palette[y];
    });
    if (std::is_sorted(order.begin(), order.end())) break;
    std::vector<ColorValue> ordered;
    for (std::size_t j : order) ordered.push_back(palette[j]);
    palette = std::move(ordered);
  }
  return palette;
}

std::vector<ColorValue> Quantize(const std::vector<ColorCount>& histogram, int count, int threads) {
  const quantize::WorkingColors colors = quantize::MakeWorkingColors(histogram, threads);
  // Two starts, from the two orders of splitting; the one of less real loss is tuned.
  std::vector<ColorValue> start;
  double before = 0;
  for (quantize::SplitOrder order :
       {quantize::SplitOrder::LargestSummedDistance, quantize::SplitOrder::LargestSquaredError}) {
    std::vector<quantize::Point> points = quantize::SplitByVariance(colors, count, order);
    quantize::RefineByKMeans(colors, points, {.threads = threads});
    std::vector<ColorValue> palette = quantize::ColorsOfPoints(colors, points, threads);
    const double loss = quantize::LossOf(colors, palette, threads).mean;
    if (start.empty() || loss < before) start = std::move(palette), before = loss;
  }
  std::vector<ColorValue> tuned = quantize::TuneOnRgbRule(colors, start, {.threads = threads});
  // The tuning follows a stand-in for CIEDE2000; the palette kept is the one of less real loss.
  const double after = quantize::LossOf(colors, tuned, threads).mean;
  return after <= before ? tuned : start;
}

}  // namespace

std::vector<ColorValue> PaletteFromHistogram(const std::vector<ColorCount>& unordered, int count,
                                             const QuantizeOptions& options) {
  if (!quantize::IsCanonicalHistogram(unordered))
    return PaletteFromHistogram(quantize::CanonicalHistogram(unordered), count, options);
  const std::vector<ColorCount>& histogram = unordered;
  count = std::clamp(count, 1, kPaletteSize);
  if (histogram.empty()) return {};
  std::vector<ColorValue> palette;
  if (histogram.size() <= static_cast<std::size_t>(count)) {
    for (const ColorCount& c : histogram) palette.push_back(c.color);
  } else {
    palette = Quantize(histogram, count, options.threads);
  }
  return OrderedByUsage(histogram, std::move(palette), options.threads);
}

}  // namespace tavlo
