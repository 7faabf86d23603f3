#pragma once
// The figures of the result window, worked out without any window so that the command-line
// program prints exactly the same: the picture reduced by the preview's rule to a range of palette
// entries, the size of its GIF file, the colour table it needs, the entries it uses and how far
// its colours are from the picture's. Under a loss budget they describe the file the loss-budget
// encoder writes (budget_encoder.h), with the exact reduction's size and loss beside them.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <vector>

#include "color_science/s_cielab.h"
#include "reduction/allowed_entries.h"
#include "reduction/picture_colors.h"
#include "reduction/transparency.h"

namespace tavlo {

struct ResultFigures {
  // The loss budget (CIEDE2000) the GIF was written under; 0 for the exact reduction.
  double budget = 0;
  // The GIF file "Export GIF" writes for this reduction; gifError says why there is none (a
  // picture too large for a GIF).
  QByteArray gif;
  QString gifError;
  std::int64_t GifBytes() const { return gif.size(); }
  // The colour table: 2^tableBits entries for the range's rangeSize entries.
  int rangeSize = 0;
  int tableBits = 0;
  int TableSize() const { return 1 << tableBits; }
  // Range entries that some pixel shows.
  int entriesUsed = 0;
  // When the used entries are a few above a power of two: that power, the next smaller table,
  // and how many entries must go to reach it; both 0 otherwise.
  int smallerTable = 0;
  int aboveSmallerTable = 0;
  // CIEDE2000 between each measured pixel's colour laid over the matte and its reduced colour:
  // the mean and the largest over those pixels, and the share of them whose difference exceeds 1.0,
  // about the least that people notice side by side.
  double meanLoss = 0;
  double maxLoss = 0;
  double shareAboveOne = 0;
  // Pixels whose loss is not measured: the clear ones, unless the loss-budget encoder wrote the
  // file without a transparent entry, which measures every pixel.
  std::uint64_t unmeasured = 0;
  std::uint64_t Measured() const { return pixels - unmeasured; }
  // Pixels that show each range entry, by position in the range; they add up to `pixels`.
  std::vector<std::uint64_t> usage;
  std::uint64_t pixels = 0;
  // The transparent entry's position in the range, or kNone.
  int transparentEntry = TransparencyRule::kNone;
  // Pixels whose alpha is below the threshold: with a transparent entry they show it, the
  // partly clear ones among them (alpha not 0) made clear, a loss of its own; without one they
  // are laid over the matte and made opaque.
  std::uint64_t clearPixels = 0;
  std::uint64_t partlyClearPixels = 0;
  // The first position of the range that no pixel of alpha at or above the threshold shows,
  // which could become the transparent entry without changing any of them; kNone when each is
  // shown.
  int firstFreeEntry = TransparencyRule::kNone;
  // The exact reduction's file size (-1 without a GIF) and loss: the same figures as above when
  // the budget is 0.
  struct Exact {
    std::int64_t gifBytes = -1;
    double meanLoss = 0, maxLoss = 0, shareAboveOne = 0;
  } exact;
  // Of an animation, each frame's share of the file and the loss of its measured pixels.
  struct Frame {
    std::int64_t bytes = 0;  // from its graphic control block to its image's end
    double meanLoss = 0, maxLoss = 0;
  };
  std::vector<Frame> frames;
  std::vector<std::int64_t> frameBytes;  // as the encoder gave them, for `frames`
  int mergedFrames = 0;                  // left out of the file as identical to the frame before
  // The pixels of the file, row by row, for the comparison view: the range position each pixel
  // is written as, and its CIEDE2000 to the picture's colour (the loss map).
  std::vector<std::uint8_t> written;
  std::vector<float> pixelLoss;
  // The visible loss (S-CIELAB at `viewingPpd` samples per degree) between the picture and the
  // file: each pixel's, their mean and the share above 1.0; empty when it was not asked for.
  double viewingPpd = 0;
  std::vector<float> visibleLoss;
  double visibleMean = 0, visibleShareAboveOne = 0;
};

// What earlier calls for one picture worked out, so that an edit of a few entries costs only
// what it changed: the entries opaque pixels could take in the last call, the nearest of them for
// each distinct colour, and each colour's difference with the colour it was measured against. A
// cache used with another picture notices it and starts again.
struct ResultCache {
  const PictureColors* picture = nullptr;
  std::vector<ColorValue> entries;
  std::vector<std::uint8_t> nearest;
  std::vector<ColorValue> against;
  std::vector<float> difference;
  // The allowed entries of the last budgeted call and the entries they were found for.
  AllowedEntries allowed;
  std::vector<ColorValue> allowedFor;
  // The picture as seen at `viewedPpd`, for the visible loss.
  OpponentPicture viewed;
  const PictureColors* viewedOf = nullptr;
  double viewedPpd = 0;
  size_t Bytes() const {
    return nearest.capacity() + against.capacity() * sizeof(ColorValue) +
           difference.capacity() * sizeof(float) + allowed.Bytes() +
           viewed.plane[0].capacity() * 3 * sizeof(float);
  }
};

// Works out the figures of the picture whose colors are `colors` reduced to `entries`, the
// range's colours in order (1 to 256), with the transparent entry at `transparentEntry` (a
// position in the range, or kNone; see TransparentEntryIn), under the loss budget `budget` (0 to
// kMaxLossBudget; 0 is the exact reduction; clear pixels keep the transparent entry under any),
// into `figures`. Returns false, early and with `figures` of no use, when `stop` becomes true
// during the call (the palette changed again) or the input is not whole. `threads` 0 chooses by
// size; the figures are the same for any number. `viewingPpd` above 0 asks for the visible loss
// at that viewing condition. Throws std::bad_alloc when memory runs out.
bool ComputeResultFigures(const PictureColors& colors, const std::vector<ColorValue>& entries,
                          int transparentEntry, ResultFigures& figures,
                          ResultCache* cache = nullptr, int threads = 0,
                          const std::atomic<bool>* stop = nullptr, double budget = 0,
                          double viewingPpd = 0);
// Without a transparent entry.
bool ComputeResultFigures(const PictureColors& colors, const std::vector<ColorValue>& entries,
                          ResultFigures& figures, ResultCache* cache = nullptr, int threads = 0,
                          const std::atomic<bool>* stop = nullptr, double budget = 0,
                          double viewingPpd = 0);

// Adds the visible loss at `viewingPpd` to `figures`, worked out for `colors` reduced to
// `entries` (their `written` pixels must be there), over the pixels that are not clear, as the
// loss. The picture as seen is kept in `cache`
// for the next call. Returns false when `stop` became true. Throws std::bad_alloc.
bool ComputeVisibleLoss(const PictureColors& colors, const std::vector<ColorValue>& entries,
                        double viewingPpd, ResultCache& cache, ResultFigures& figures,
                        int threads = 0, const std::atomic<bool>* stop = nullptr);

// For `used` entries: the next smaller power-of-two table when `used` is only a few above it (at
// most an eighth of it, at least 1), with the number above it; both 0 otherwise.
void SmallerTableHint(int used, int& smallerTable, int& above);

}  // namespace tavlo
