#include "quantize/palette_from_histogram.h"

#include <algorithm>
#include <numeric>

#include "quantize/kmeans.h"
#include "quantize/palette_loss.h"
#include "quantize/parallel_chunks.h"
#include "quantize/point_rounding.h"
#include "quantize/rgb_local_search.h"
#include "quantize/rgb_nearest.h"
#include "quantize/variance_split.h"
#include "quantize/working_colors.h"

namespace tavlo {
namespace {

// The palette's entries by falling pixel count under the RGB rule, ties to the lower value. The
// counts depend on the order a little (a colour equally near two entries goes to the earlier), so
// the order is settled again until it no longer changes. Only the colours equally near two
// entries are searched again for that: the others go to the same colour in any order.
std::vector<ColorValue> OrderedByUsage(const std::vector<ColorCount>& histogram,
                                       std::vector<ColorValue> palette,
                                       const QuantizeOptions& options) {
  const int threads = options.threads;
  std::vector<ColorValue> colors(histogram.size());
  for (std::size_t i = 0; i < histogram.size(); ++i) colors[i] = histogram[i].color;
  const quantize::NearestEntries near = quantize::AssignNearestEntries(colors, palette, threads);
  std::vector<ColorCount> tied;
  std::vector<ColorValue> tiedColors;
  for (std::size_t i = 0; i < colors.size(); ++i)
    if (near.distance2[i] == near.secondDistance2[i])
      tied.push_back(histogram[i]), tiedColors.push_back(colors[i]);
  std::vector<std::size_t> place(palette.size());  // of each entry of the first order
  std::iota(place.begin(), place.end(), 0);
  for (int round = 0; round < 8; ++round) {
    ThrowIfStopped(options.stop);
    std::vector<std::uint64_t> usage(palette.size(), 0);
    for (std::size_t i = 0; i < colors.size(); ++i)
      if (near.distance2[i] != near.secondDistance2[i])
        usage[place[near.first[i]]] += histogram[i].count;
    const std::vector<std::uint16_t> nearestTied =
        quantize::AssignNearestEntries(tiedColors, palette, threads).first;
    for (std::size_t t = 0; t < tied.size(); ++t) usage[nearestTied[t]] += tied[t].count;
    std::vector<std::size_t> order(palette.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
      return usage[x] != usage[y] ? usage[x] > usage[y] : round == 0 && palette[x] < palette[y];
    });
    if (std::is_sorted(order.begin(), order.end())) break;
    std::vector<ColorValue> ordered;
    std::vector<std::size_t> placeOf(palette.size());
    for (std::size_t j : order) placeOf[j] = ordered.size(), ordered.push_back(palette[j]);
    for (std::size_t& p : place) p = placeOf[p];
    palette = std::move(ordered);
  }
  return palette;
}

struct Start {
  std::vector<ColorValue> palette;
  double loss = 0;
};

// A palette from the split in `order`, refined by k-means, with its loss.
Start StartFrom(const quantize::WorkingColors& colors, int count, quantize::SplitOrder order,
                int threads, StopFlag stop) {
  quantize::Split split = quantize::SplitByVariance(colors, count, order, stop);
  quantize::RefineByKMeans(colors, split.points, {.threads = threads, .stop = stop},
                           std::move(split.boxOf));
  Start start;
  start.palette = quantize::ColorsOfPoints(colors, split.points, threads);
  start.loss = quantize::LossOf(colors, start.palette, threads).mean;
  return start;
}

std::vector<ColorValue> Quantize(const std::vector<ColorCount>& histogram, int count,
                                 const QuantizeOptions& options) {
  const int threads = options.threads;
  const quantize::WorkingColors colors =
      quantize::MakeWorkingColors(histogram, threads, options.stop);
  // Two starts, from the two orders of splitting; the one of less real loss is tuned. They do
  // not depend on each other, so they are worked out side by side when there are threads to spare.
  const quantize::SplitOrder orders[] = {quantize::SplitOrder::LargestSummedDistance,
                                         quantize::SplitOrder::LargestSquaredError};
  Start starts[2];
  const int workers = quantize::ThreadsToUse(threads);
  quantize::ForEachChunk(
      2, std::min(workers, 2),
      [&](std::size_t s, std::size_t, std::size_t) {
        starts[s] = StartFrom(colors, count, orders[s], std::max(1, workers / 2), options.stop);
      },
      1);
  const Start& start = starts[1].loss < starts[0].loss ? starts[1] : starts[0];
  std::vector<ColorValue> tuned =
      quantize::TuneOnRgbRule(colors, start.palette, {.threads = threads, .stop = options.stop});
  // The tuning follows a stand-in for CIEDE2000; the palette kept is the one of less real loss.
  const double after = quantize::LossOf(colors, tuned, threads).mean;
  return after <= start.loss ? tuned : start.palette;
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
    palette = Quantize(histogram, count, options);
  }
  return OrderedByUsage(histogram, std::move(palette), options);
}

}  // namespace tavlo
