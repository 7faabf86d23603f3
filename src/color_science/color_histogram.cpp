#include "color_science/color_histogram.h"

#include "base/parallel_work.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <utility>

namespace tavlo {
namespace {

// The histogram is a bucket sort on the colour value 0x00BBGGRR: its top 12 bits choose one of
// 4096 buckets and its low 12 bits are what the bucket stores, 2 bytes a pixel. Every pass then
// streams through memory: counting the buckets touches 16 KiB, filling them writes 4096 streams
// (a few hundred KiB of cache lines), and each bucket is counted in a table of 4096 entries that
// stays in the first-level cache, read out in order. The colours come out sorted for free, and
// the only memory besides the result is the 2 bytes a pixel. Hash tables and dense count tables
// of the cube were measured slower: a photo's pixels scatter their look-ups over megabytes.
constexpr int kBucketBits = 12;
constexpr size_t kBuckets = size_t{1} << kBucketBits;
constexpr std::uint32_t kLowMask = (1u << kBucketBits) - 1;

using BucketCounts = std::array<size_t, kBuckets>;

// The colour value 0x00BBGGRR of a pixel 0x??RRGGBB read from any alignment.
std::uint32_t ValueAt(const unsigned char* row, int x) {
  std::uint32_t pixel;
  std::memcpy(&pixel, row + 4 * static_cast<std::ptrdiff_t>(x), 4);
  return __builtin_bswap32(pixel) >> 8;
}

struct Picture {
  const unsigned char* first;
  int width;
  int height;
  std::ptrdiff_t stride;
  const unsigned char* Row(int y) const { return first + stride * y; }
};

int WorkerCount(int threads, std::uint64_t pixels, int height) {
  constexpr std::uint64_t kPixelsPerWorker = std::uint64_t{1} << 20;
  if (threads <= 0) threads = static_cast<int>(ThreadsFor(pixels, kPixelsPerWorker));
  return std::clamp(threads, 1, height);
}

// Rows of the band of one worker.
std::pair<int, int> BandOf(int worker, int workers, int height) {
  return {static_cast<int>(std::int64_t{height} * worker / workers),
          static_cast<int>(std::int64_t{height} * (worker + 1) / workers)};
}

void CountBuckets(const Picture& picture, int begin, int end, BucketCounts& counts) {
  counts.fill(0);
  for (int y = begin; y < end; ++y) {
    const unsigned char* row = picture.Row(y);
    for (int x = 0; x < picture.width; ++x) ++counts[ValueAt(row, x) >> kBucketBits];
  }
}

// `next` holds where each bucket's next value of this band goes.
void FillBuckets(const Picture& picture, int begin, int end, BucketCounts& next,
                 std::uint16_t* lows) {
  for (int y = begin; y < end; ++y) {
    const unsigned char* row = picture.Row(y);
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t value = ValueAt(row, x);
      lows[next[value >> kBucketBits]++] = static_cast<std::uint16_t>(value & kLowMask);
    }
  }
}

// Counts the buckets [first, last) and appends their colours in order.
void ReadBuckets(const std::uint16_t* lows, const std::vector<size_t>& start, size_t first,
                 size_t last, std::vector<ColorCount>& out) {
  auto tally = std::make_unique<std::uint32_t[]>(kBuckets);  // zero, and left zero after each use
  for (size_t bucket = first; bucket < last; ++bucket) {
    if (start[bucket] == start[bucket + 1]) continue;
    for (size_t i = start[bucket]; i < start[bucket + 1]; ++i) ++tally[lows[i]];
    const auto high = static_cast<std::uint32_t>(bucket << kBucketBits);
    for (std::uint32_t low = 0; low < kBuckets; ++low) {
      if (tally[low] == 0) continue;
      out.push_back(ColorCount{static_cast<ColorValue>(high | low), tally[low]});
      tally[low] = 0;
    }
  }
}

// Splits the buckets into `parts` consecutive ranges of about equal pixel counts; part p is
// [bounds[p], bounds[p + 1]).
std::vector<size_t> SplitBuckets(const std::vector<size_t>& start, int parts) {
  std::vector<size_t> bounds(static_cast<size_t>(parts) + 1, kBuckets);
  bounds[0] = 0;
  size_t bucket = 0;
  for (int p = 1; p < parts; ++p) {
    const size_t target = start[kBuckets] / static_cast<size_t>(parts) * static_cast<size_t>(p);
    while (bucket < kBuckets && start[bucket] < target) ++bucket;
    bounds[static_cast<size_t>(p)] = bucket;
  }
  return bounds;
}

}  // namespace

ColorHistogram CountColors(const std::uint32_t* first, int width, int height, std::ptrdiff_t stride,
                           int threads) {
  ColorHistogram histogram;
  if (!first || width <= 0 || height <= 0) return histogram;
  histogram.pixels = std::uint64_t(width) * std::uint64_t(height);
  const Picture picture{reinterpret_cast<const unsigned char*>(first), width, height, stride};
  const int workers = WorkerCount(threads, histogram.pixels, height);
  const auto count = static_cast<size_t>(workers);

  std::vector<BucketCounts> perBand(count);
  ForEachIndex(count, count, [&](size_t w) {
    const auto [begin, end] = BandOf(static_cast<int>(w), workers, height);
    CountBuckets(picture, begin, end, perBand[w]);
  });

  // Bucket b holds the values of band 0, then band 1, ...: start[b] is where it begins, and
  // perBand[w][b] becomes where band w's part of it begins.
  std::vector<size_t> start(kBuckets + 1, 0);
  size_t offset = 0;
  for (size_t b = 0; b < kBuckets; ++b) {
    start[b] = offset;
    for (auto& band : perBand) offset += std::exchange(band[b], offset);
  }
  start[kBuckets] = offset;

  const auto lows = std::make_unique_for_overwrite<std::uint16_t[]>(offset);
  ForEachIndex(count, count, [&](size_t w) {
    const auto [begin, end] = BandOf(static_cast<int>(w), workers, height);
    FillBuckets(picture, begin, end, perBand[w], lows.get());
  });

  const std::vector<size_t> bounds = SplitBuckets(start, workers);
  std::vector<std::vector<ColorCount>> parts(count);
  ForEachIndex(count, count, [&](size_t p) {
    ReadBuckets(lows.get(), start, bounds[p], bounds[p + 1], parts[p]);
  });
  size_t distinct = 0;
  for (const auto& part : parts) distinct += part.size();
  histogram.colors.reserve(distinct);
  for (const auto& part : parts)
    histogram.colors.insert(histogram.colors.end(), part.begin(), part.end());
  return histogram;
}

}  // namespace tavlo
