#include "colour/colour_histogram.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <memory>
#include <thread>

namespace tavlo {
namespace {

// An open-addressing table of colours, one 64-bit slot each: the count in the top 40 bits and
// the colour 0xRRGGBB in the low 24, so a look-up touches one cache line and an empty slot is 0
// (a stored colour has a count of at least 1). Kept at most half full.
class ColourTable {
 public:
  ColourTable() { Allocate(12); }

  void Add(std::uint32_t rgb, std::uint64_t count) {
    std::uint64_t* slot = Find(rgb);
    if (*slot == 0) {
      *slot = rgb;
      if (++size_ * 2 > mask_) Grow();
      slot = Find(rgb);
    }
    *slot += count << kCountShift;
  }

  size_t Size() const { return size_; }

  template <typename Visit>
  void ForEach(Visit visit) const {
    for (size_t i = 0; i <= mask_; ++i)
      if (const std::uint64_t slot = slots_[i]) visit(ColourOf(slot), slot >> kCountShift);
  }

 private:
  static constexpr int kCountShift = 24;
  static std::uint32_t ColourOf(std::uint64_t slot) {
    return static_cast<std::uint32_t>(slot & 0xFFFFFF);
  }

  std::uint64_t* Find(std::uint32_t rgb) {
    // Fibonacci hashing: neighbouring colours land far apart.
    size_t i = static_cast<size_t>((rgb * 0x9E3779B97F4A7C15ull) >> (64 - bits_));
    while (slots_[i] != 0 && ColourOf(slots_[i]) != rgb) i = (i + 1) & mask_;
    return &slots_[i];
  }

  void Allocate(int bits) {
    bits_ = bits;
    mask_ = (size_t{1} << bits) - 1;
    slots_ = std::make_unique<std::uint64_t[]>(mask_ + 1);
  }

  void Grow() {
    const auto old = std::move(slots_);
    const size_t oldSlots = mask_ + 1;
    Allocate(bits_ + 1);
    for (size_t i = 0; i < oldSlots; ++i)
      if (old[i] != 0) *Find(ColourOf(old[i])) = old[i];
  }

  std::unique_ptr<std::uint64_t[]> slots_;
  size_t mask_ = 0;
  int bits_ = 0;
  size_t size_ = 0;
};

std::uint32_t RgbAt(const unsigned char* row, int x) {
  std::uint32_t pixel;
  std::memcpy(&pixel, row + 4 * static_cast<std::ptrdiff_t>(x), 4);  // rows of any alignment
  return pixel & 0xFFFFFF;
}

// Adds the rows [begin, end), a run of equal pixels at a time: photos and drawings alike have
// many, and a run costs one look-up.
void CountRows(ColourTable& table, const unsigned char* first, std::ptrdiff_t stride, int width,
               int begin, int end) {
  for (int y = begin; y < end; ++y) {
    const unsigned char* row = first + stride * y;
    int x = 0;
    while (x < width) {
      const std::uint32_t rgb = RgbAt(row, x);
      const int start = x;
      while (++x < width && RgbAt(row, x) == rgb) {
      }
      table.Add(rgb, static_cast<std::uint64_t>(x - start));
    }
  }
}

// Hands out bands of rows to the workers, each band to one worker.
class Bands {
 public:
  Bands(int height, int rowsPerBand) : height_(height), rowsPerBand_(rowsPerBand) {}
  bool Next(int& begin, int& end) {
    begin = next_.fetch_add(rowsPerBand_, std::memory_order_relaxed);
    if (begin >= height_) return false;
    end = std::min(height_, begin + rowsPerBand_);
    return true;
  }

 private:
  const int height_;
  const int rowsPerBand_;
  std::atomic<int> next_{0};
};

int WorkerCount(int threads, std::int64_t pixels, int height) {
  if (threads <= 0) {
    constexpr std::int64_t kPixelsPerWorker = std::int64_t{1} << 20;
    const int processors = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    threads = static_cast<int>(std::min<std::int64_t>(
        {processors, 8, std::max<std::int64_t>(1, pixels / kPixelsPerWorker)}));
  }
  return std::clamp(threads, 1, std::max(1, height));
}

// Sorts by colour value 0x00BBGGRR in two passes of 12 bits.
void SortByColour(std::vector<ColourCount>& colours) {
  std::vector<ColourCount> spare(colours.size());
  for (int shift : {0, 12}) {
    std::vector<size_t> start(4097, 0);
    for (const ColourCount& c : colours)
      ++start[((static_cast<std::uint32_t>(c.colour) >> shift) & 0xFFF) + 1];
    for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
    for (const ColourCount& c : colours)
      spare[start[(static_cast<std::uint32_t>(c.colour) >> shift) & 0xFFF]++] = c;
    colours.swap(spare);
  }
}

}  // namespace

ColourHistogram CountColours(const std::uint32_t* first, int width, int height,
                             std::ptrdiff_t stride, int threads) {
  ColourHistogram histogram;
  if (!first || width <= 0 || height <= 0) return histogram;
  histogram.pixels = std::uint64_t(width) * std::uint64_t(height);
  const auto* bytes = reinterpret_cast<const unsigned char*>(first);
  const int workers = WorkerCount(threads, static_cast<std::int64_t>(histogram.pixels), height);

  // Each worker counts into a table of its own; the tables are merged at the end.
  std::vector<ColourTable> tables(static_cast<size_t>(workers));
  std::vector<std::exception_ptr> failures(static_cast<size_t>(workers));
  Bands bands(height, std::max(1, 16384 / width));
  auto work = [&](size_t worker) {
    try {
      int begin, end;
      while (bands.Next(begin, end)) CountRows(tables[worker], bytes, stride, width, begin, end);
    } catch (...) {
      failures[worker] = std::current_exception();  // std::bad_alloc
    }
  };
  std::vector<std::thread> helpers;
  for (size_t worker = 1; worker < tables.size(); ++worker) {
    try {
      helpers.emplace_back(work, worker);
    } catch (...) {
      break;  // no more threads to be had: the ones running take the remaining bands
    }
  }
  work(0);
  for (auto& helper : helpers) helper.join();
  for (const auto& failure : failures)
    if (failure) std::rethrow_exception(failure);

  ColourTable& all = tables[0];
  for (size_t i = 1; i < tables.size(); ++i)
    tables[i].ForEach([&](std::uint32_t rgb, std::uint64_t count) { all.Add(rgb, count); });
  histogram.colours.reserve(all.Size());
  all.ForEach([&](std::uint32_t rgb, std::uint64_t count) {
    histogram.colours.push_back(ColourCount{FromRgbPixel(rgb), static_cast<std::uint32_t>(count)});
  });
  SortByColour(histogram.colours);
  return histogram;
}

}  // namespace tavlo
