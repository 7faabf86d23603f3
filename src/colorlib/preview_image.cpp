#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "base/parallel_work.h"
#include "colorlib/floyd_steinberg.h"
#include "colorlib/nearest_table.h"
#include "colorlib/preview_engine.h"
#include "colorlib/tavlo_color.h"

namespace tavlo::colorlib {
namespace {

// Each worker owns a lookup table (below 8 MiB), so workers share nothing they write but the
// picture's rows, which they take in bands. Tables are kept for the next call (at most
// kMaxKeptTables of them) with their storage, so a preview of a large picture costs no fresh
// memory, and with what they resolved, which a call with the same palette uses again (a batch
// of pictures reduced to one palette).
constexpr int kMaxWorkers = 16;
// Below this many pixels per worker, a second thread costs more (its own table to fill) than it
// saves.
constexpr int64_t kPixelsPerWorker = int64_t{1} << 20;
constexpr int kPixelsPerBand = 16384;
constexpr size_t kMaxKeptTables = 8;  // as many as ThreadsFor gives without TAVLO_THREADS

// The tables kept between calls.
class TableShelf {
 public:
  // A table with the given limits, started on `palette`; null when no memory is to be had.
  std::unique_ptr<NearestTable> Take(const PreparedPalette& palette, TableLimits limits) noexcept {
    std::unique_ptr<NearestTable> table;
    {
      std::lock_guard lock(mutex_);
      // One that served this palette last, else any of these limits.
      size_t chosen = count_;
      for (size_t i = 0; i < count_; ++i) {
        if (kept_[i]->Limits() != limits) continue;
        if (chosen == count_) chosen = i;
        if (kept_[i]->Palette() == palette) {
          chosen = i;
          break;
        }
      }
      if (chosen < count_) {
        table = std::move(kept_[chosen]);
        kept_[chosen] = std::move(kept_[--count_]);
      }
    }
    if (!table) {
      try {
        table = std::make_unique<NearestTable>(limits);
      } catch (...) {
        return nullptr;  // out of memory: the plain search needs none
      }
    }
    table->Start(palette);
    return table;
  }

  void Give(std::unique_ptr<NearestTable> table) noexcept {
    if (!table) return;
    std::lock_guard lock(mutex_);
    if (count_ < kMaxKeptTables) kept_[count_++] = std::move(table);
  }

 private:
  std::mutex mutex_;
  std::array<std::unique_ptr<NearestTable>, kMaxKeptTables> kept_;
  size_t count_ = 0;
};

TableShelf& Shelf() {
  static TableShelf shelf;
  return shelf;
}

struct Picture {
  unsigned char* first;
  int32_t width;
  int32_t height;
  int64_t stride;
  unsigned char* Row(int32_t y) const { return first + stride * y; }
};

// Hands out bands of rows to the workers, each band to one worker.
class Bands {
 public:
  Bands(int32_t height, int32_t rowsPerBand) : height_(height), rowsPerBand_(rowsPerBand) {}
  // First row of the next band and its end; false when all rows are taken.
  bool Next(int32_t& begin, int32_t& end) {
    begin = next_.fetch_add(rowsPerBand_, std::memory_order_relaxed);
    if (begin >= height_) return false;
    end = std::min(height_, begin + rowsPerBand_);
    return true;
  }

 private:
  const int32_t height_;
  const int32_t rowsPerBand_;
  std::atomic<int32_t> next_{0};
};

void RemapRowBySearch(const PreparedPalette& palette, unsigned char* row, int width) {
  for (int x = 0; x < width; ++x) {
    uint32_t pixel;
    std::memcpy(&pixel, row + 4 * x, 4);
    const uint32_t out = palette.pixel[NearestBySearch(palette, (pixel >> 16) & 0xFF,
                                                       (pixel >> 8) & 0xFF, pixel & 0xFF)];
    std::memcpy(row + 4 * x, &out, 4);
  }
}

TableLimits LimitsOf(const PreviewOptions& options) {
  return TableLimits{options.leafLimit, options.middleListBytes, options.portableLoop};
}

// Runs `band(table, begin, end)` over the bands of rows of a picture on `workers` threads (fewer
// when no more can be had), each with a lookup table of its own; `table` is null when no memory
// was to be had for one, and the band must then be done by the plain search.
template <typename Band>
int RunBands(int32_t width, int32_t height, const PreparedPalette& palette,
             const PreviewOptions& options, Band band) {
  const int64_t pixels = int64_t{width} * height;
  int workers =
      options.threads > 0 ? std::min(options.threads, kMaxWorkers) : AutomaticWorkerCount(pixels);
  // An even number of rows: the tables' loops take rows in pairs.
  const int32_t rowsPerBand = std::max(2, (kPixelsPerBand / width) & ~1);
  workers = static_cast<int>(std::min<int64_t>(workers, (height + rowsPerBand - 1) / rowsPerBand));
  Bands bands(height, rowsPerBand);
  return static_cast<int>(RunOnThreads(static_cast<size_t>(workers), [&]() noexcept {
    auto table = Shelf().Take(palette, LimitsOf(options));
    int32_t begin, end;
    while (bands.Next(begin, end)) band(table.get(), begin, end);
    Shelf().Give(std::move(table));
  }));
}

int Remap(const Picture& picture, const PreparedPalette& palette, const PreviewOptions& options) {
  return RunBands(picture.width, picture.height, palette, options,
                  [&](NearestTable* table, int32_t begin, int32_t end) {
                    if (table) {
                      table->RemapRows(picture.Row(begin), picture.stride, end - begin,
                                       picture.width);
                    } else {
                      for (int32_t y = begin; y < end; ++y)
                        RemapRowBySearch(palette, picture.Row(y), picture.width);
                    }
                  });
}

void IndexRowBySearch(const PreparedPalette& palette, const unsigned char* row, int width,
                      uint8_t* out) {
  for (int x = 0; x < width; ++x) {
    uint32_t pixel;
    std::memcpy(&pixel, row + 4 * x, 4);
    out[x] = static_cast<uint8_t>(
        NearestBySearch(palette, (pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
  }
}

int Dither(const Picture& picture, const PreparedPalette& palette, const PreviewOptions& options) {
  auto table = Shelf().Take(palette, LimitsOf(options));
  const bool done = table && DitherFloydSteinberg(*table, picture.first, picture.width,
                                                  picture.height, picture.stride);
  Shelf().Give(std::move(table));
  return done ? 1 : 0;
}

}  // namespace

int AutomaticWorkerCount(int64_t pixels) {
  return static_cast<int>(ThreadsFor(static_cast<size_t>(std::max<int64_t>(pixels, 0)),
                                     static_cast<size_t>(kPixelsPerWorker)));
}

int PreviewWithOptions(uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                       const int32_t* palette, int32_t count, const PreviewOptions& options) {
  if (!pixels || !palette || count < 1 || count > 256 || width <= 0 || height <= 0 ||
      std::llabs(int64_t{stride}) < int64_t{width} * 4) {
    return 0;
  }
  const PreparedPalette prepared = PreparePalette(palette, count);
  const Picture picture{reinterpret_cast<unsigned char*>(pixels), width, height, stride};
  return options.dither ? Dither(picture, prepared, options) : Remap(picture, prepared, options);
}

int IndexImage(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
               const int32_t* palette, int32_t count, uint8_t* indexes, int64_t indexStride,
               const PreviewOptions& options) {
  if (!pixels || !palette || !indexes || count < 1 || count > 256 || width <= 0 || height <= 0 ||
      std::llabs(int64_t{stride}) < int64_t{width} * 4 || std::llabs(indexStride) < width) {
    return 0;
  }
  const PreparedPalette prepared = PreparePalette(palette, count);
  const auto* first = reinterpret_cast<const unsigned char*>(pixels);
  return RunBands(
      width, height, prepared, options, [&](NearestTable* table, int32_t begin, int32_t end) {
        const unsigned char* rows = first + int64_t{stride} * begin;
        uint8_t* out = indexes + indexStride * begin;
        if (table) {
          table->IndexRows(rows, stride, end - begin, width, out, indexStride);
        } else {
          for (int32_t y = 0; y < end - begin; ++y)
            IndexRowBySearch(prepared, rows + int64_t{stride} * y, width, out + indexStride * y);
        }
      });
}

}  // namespace tavlo::colorlib

extern "C" void PreViewImage(uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                             const int32_t* palette, int32_t count) {
  tavlo::colorlib::PreviewWithOptions(pixels, width, height, stride, palette, count, {});
}
