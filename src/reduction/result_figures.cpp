#include "reduction/result_figures.h"

#include <algorithm>
#include <thread>

#include "colour/ciede2000.h"
#include "reduction/gif_encoder.h"
#include "reduction/indexed_picture.h"

namespace tavlo {
namespace {

bool Stopped(const std::atomic<bool>* stop) {
  return stop && stop->load(std::memory_order_relaxed);
}

// Runs task(begin, end) over [0, count) in `workers` consecutive parts, on threads where they can
// be had.
template <typename Task>
void InParts(size_t count, int workers, Task task) {
  std::vector<std::thread> helpers;
  const auto parts = static_cast<size_t>(std::max(1, workers));
  size_t done = 1;
  auto part = [&](size_t p) { task(count * p / parts, count * (p + 1) / parts); };
  for (; done < parts; ++done) {
    try {
      helpers.emplace_back(part, done);
    } catch (...) {
      break;
    }
  }
  part(0);
  for (size_t p = done; p < parts; ++p) part(p);
  for (auto& helper : helpers) helper.join();
}

int WorkersFor(int threads, size_t work, size_t workPerThread) {
  if (threads > 0) return threads;
  const auto processors = static_cast<size_t>(std::max(1u, std::thread::hardware_concurrency()));
  return static_cast<int>(
      std::clamp<size_t>(work / workPerThread, 1, std::min<size_t>(processors, 8)));
}

// The position in the range of each distinct colour's nearest entry: that of its first pixel.
std::vector<std::uint8_t> NearestOfEachColour(const PictureColours& colours,
                                              const IndexedPicture& picture) {
  std::vector<std::uint8_t> nearest(colours.Distinct());
  for (size_t i = 0; i < nearest.size(); ++i) nearest[i] = picture.indexes[colours.firstPixel[i]];
  return nearest;
}

// Brings the cache's differences up to date for the entries' colours: only colours whose reduced
// colour changed are measured again.
void UpdateDifferences(const PictureColours& colours, const std::vector<ColorValue>& entries,
                       const std::vector<std::uint8_t>& nearest, LossCache& cache, int threads) {
  const size_t n = colours.Distinct();
  if (cache.picture != &colours || cache.against.size() != n) {
    cache.picture = &colours;
    cache.against.assign(n, -1);  // no colour value: everything is measured
    cache.difference.assign(n, 0.0f);
  }
  std::vector<Lab> entryLab(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) entryLab[i] = LabFromColor(entries[i]);
  size_t changed = 0;
  for (size_t i = 0; i < n; ++i) changed += cache.against[i] != entries[nearest[i]];
  InParts(n, WorkersFor(threads, changed, 20000), [&](size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) {
      const ColorValue against = entries[nearest[i]];
      if (cache.against[i] == against) continue;
      cache.against[i] = against;
      cache.difference[i] =
          static_cast<float>(Ciede2000(colours.lab[i].ToLab(), entryLab[nearest[i]]));
    }
  });
}

void SumUp(const PictureColours& colours, const std::vector<std::uint8_t>& nearest,
           const LossCache& cache, ResultFigures& figures) {
  figures.usage.assign(figures.rangeSize, 0);
  double weighted = 0;
  std::uint64_t above = 0;
  float largest = 0;
  for (size_t i = 0; i < colours.Distinct(); ++i) {
    const std::uint32_t count = colours.counts[i];
    const float difference = cache.difference[i];
    figures.usage[nearest[i]] += count;
    weighted += double(difference) * count;
    largest = std::max(largest, difference);
    if (difference > 1.0f) above += count;
  }
  figures.pixels = colours.pictureSize;
  const double pixels = std::max<double>(1, double(figures.pixels));
  figures.meanLoss = weighted / pixels;
  figures.maxLoss = largest;
  figures.shareAboveOne = double(above) / pixels;
  figures.entriesUsed = static_cast<int>(
      std::count_if(figures.usage.begin(), figures.usage.end(), [](auto u) { return u != 0; }));
  SmallerTableHint(figures.entriesUsed, figures.smallerTable, figures.aboveSmallerTable);
}

}  // namespace

void SmallerTableHint(int used, int& smallerTable, int& above) {
  smallerTable = 0;
  above = 0;
  if (used <= 2) return;
  int power = 2;
  while (power * 2 < used) power *= 2;
  if (used - power <= std::max(1, power / 8)) {
    smallerTable = power;
    above = used - power;
  }
}

bool ComputeResultFigures(const ResultInput& input, ResultFigures& figures, LossCache* cache,
                          int threads, const std::atomic<bool>* stop) {
  const int count = static_cast<int>(input.entries.size());
  if (!input.colours || input.colours->Distinct() == 0 || count < 1 || count > 256) return false;
  figures = ResultFigures{};
  figures.rangeSize = count;
  figures.tableBits = GifTableBits(count);

  const IndexedPicture picture = ReducePicture(input.pixels, input.width, input.height,
                                               input.stride, input.entries.data(), count, threads);
  if (picture.indexes.size() != input.colours->pictureSize) return false;  // not that picture
  if (Stopped(stop)) return false;
  const std::vector<std::uint8_t> nearest = NearestOfEachColour(*input.colours, picture);
  LossCache ownCache;
  LossCache& differences = cache ? *cache : ownCache;
  UpdateDifferences(*input.colours, input.entries, nearest, differences, threads);
  SumUp(*input.colours, nearest, differences, figures);
  if (Stopped(stop)) return false;

  EncodedPicture gif = EncodeGif(picture, threads);
  figures.gif = std::move(gif.bytes);
  figures.gifError = gif.error;
  return !Stopped(stop);
}

}  // namespace tavlo
