#include "reduction/result_figures.h"

#include <algorithm>
#include <array>
#include <thread>

#include "base/parallel_work.h"
#include "color_science/ciede2000.h"
#include "reduction/animated_gif.h"
#include "reduction/animation_budget.h"
#include "reduction/budget_encoder.h"
#include "reduction/gif_encoder.h"
#include "reduction/indexed_picture.h"
#include "reduction/nearest_entries.h"

namespace tavlo {
namespace {

bool Stopped(const std::atomic<bool>* stop) {
  return stop && stop->load(std::memory_order_relaxed);
}

size_t WorkersFor(int threads, size_t work, size_t workPerThread) {
  return threads > 0 ? static_cast<size_t>(threads) : ThreadsFor(work, workPerThread);
}

// Brings the cache's nearest entries up to date for `entries`: from the last call's when only a
// few entries changed, else worked out afresh.
void UpdateNearest(const PictureColors& colors, const std::vector<ColorValue>& entries,
                   ResultCache& cache, int threads) {
  if (cache.picture != &colors || cache.nearest.size() != colors.Distinct() ||
      !UpdateNearestEntries(colors, cache.entries, entries, cache.nearest)) {
    cache.nearest = NearestEntries(colors, entries, threads);
  }
  cache.entries = entries;
}

// The position in the range each distinct colour is reduced to: clear colours to the transparent
// entry, when there is one, the others to their nearest opaque entry.
std::vector<std::uint8_t> RangePositions(const PictureColors& colors, const OpaqueEntries& opaque,
                                         const std::vector<std::uint8_t>& nearest,
                                         int transparentEntry) {
  std::vector<std::uint8_t> positions(colors.Distinct());
  for (size_t i = 0; i < positions.size(); ++i)
    positions[i] = transparentEntry != TransparencyRule::kNone && colors.IsClear(i)
                       ? static_cast<std::uint8_t>(transparentEntry)
                       : opaque.positions[nearest[i]];
  return positions;
}

// Whether a colour's pixels are measured: clear pixels are not, whether they show the transparent
// entry or were laid over the matte, which would count them as lossless.
bool Measured(const PictureColors& colors, size_t i) {
  return !colors.IsClear(i);
}

// Brings the cache's differences up to date for the entries' colours: only colours whose reduced
// colour changed are measured again.
void UpdateDifferences(const PictureColors& colors, const std::vector<ColorValue>& entries,
                       const std::vector<std::uint8_t>& positions, ResultCache& cache,
                       int threads) {
  const size_t n = colors.Distinct();
  if (cache.against.size() != n) {
    cache.against.assign(n, -1);  // no colour value: everything is measured
    cache.difference.assign(n, 0.0f);
  }
  std::vector<Lab> entryLab(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) entryLab[i] = LabFromColor(entries[i]);
  const auto stale = [&](size_t i) {
    return Measured(colors, i) && cache.against[i] != entries[positions[i]];
  };
  size_t changed = 0;
  for (size_t i = 0; i < n; ++i) changed += stale(i);
  RunInParts(n, WorkersFor(threads, changed, 20000), [&](size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) {
      if (!stale(i)) continue;
      cache.against[i] = entries[positions[i]];
      cache.difference[i] =
          static_cast<float>(Ciede2000(colors.lab[i].ToLab(), entryLab[positions[i]]));
    }
  });
}

// The reduced picture: each pixel the range position of its colour.
IndexedPicture Reduced(const PictureColors& colors, const std::vector<ColorValue>& entries,
                       const std::vector<std::uint8_t>& positions, int transparentEntry,
                       int threads) {
  IndexedPicture picture;
  picture.width = colors.width;
  picture.height = colors.height;
  picture.table = entries;
  picture.transparent = transparentEntry;
  const size_t pixels = static_cast<size_t>(colors.PictureSize());
  picture.indexes.resize(pixels);
  RunInParts(pixels, WorkersFor(threads, pixels, size_t{1} << 21), [&](size_t begin, size_t end) {
    for (size_t p = begin; p < end; ++p) picture.indexes[p] = positions[colors.ColorOfPixel(p)];
  });
  return picture;
}

// The loss figures from their sums over the measured pixels, and the entries used from
// the usage.
void SetLoss(ResultFigures& figures, double weighted, float largest, std::uint64_t above) {
  const double measured = std::max<double>(1, double(figures.Measured()));
  figures.meanLoss = weighted / measured;
  figures.maxLoss = largest;
  figures.shareAboveOne = double(above) / measured;
  figures.entriesUsed = static_cast<int>(
      std::count_if(figures.usage.begin(), figures.usage.end(), [](auto u) { return u != 0; }));
  SmallerTableHint(figures.entriesUsed, figures.smallerTable, figures.aboveSmallerTable);
}

void SumUp(const PictureColors& colors, const ResultCache& cache,
           const std::vector<std::uint8_t>& positions, ResultFigures& figures) {
  const int transparentEntry = figures.transparentEntry;
  figures.usage.assign(figures.rangeSize, 0);
  std::vector<bool> shownOpaque(static_cast<size_t>(figures.rangeSize), false);
  double weighted = 0;
  std::uint64_t above = 0;
  float largest = 0;
  for (size_t i = 0; i < colors.Distinct(); ++i) {
    const std::uint32_t count = colors.histogram[i].count;
    figures.usage[positions[i]] += count;
    if (!colors.IsClear(i)) shownOpaque[positions[i]] = true;
    if (!Measured(colors, i)) continue;
    const float difference = cache.difference[i];
    weighted += double(difference) * count;
    largest = std::max(largest, difference);
    if (difference > 1.0f) above += count;
  }
  figures.pixels = colors.PictureSize();
  figures.clearPixels = colors.clearPixels;
  figures.unmeasured = colors.clearPixels;
  if (transparentEntry != TransparencyRule::kNone)
    figures.partlyClearPixels = colors.partlyClearPixels;
  const auto free = std::ranges::find(shownOpaque, false);
  if (free != shownOpaque.end())
    figures.firstFreeEntry = static_cast<int>(free - shownOpaque.begin());
  SetLoss(figures, weighted, largest, above);
}

// The allowed entries of the cache brought up to date for `entries` and `budget`: only the
// changed entries measured when few changed, else all found afresh.
bool UpdateAllowed(const PictureColors& colors, const std::vector<ColorValue>& entries,
                   double budget, ResultCache& cache, int threads, const std::atomic<bool>* stop) {
  if (cache.allowed.budget == budget && cache.allowedFor.size() == entries.size() &&
      UpdateAllowedEntries(colors, cache.allowedFor, entries, cache.nearest, cache.difference,
                           cache.allowed)) {
    cache.allowedFor = entries;
    return true;
  }
  cache.allowedFor.clear();
  if (!FindAllowedEntries(colors, entries, cache.nearest, cache.difference, budget, cache.allowed,
                          threads, stop))
    return false;
  cache.allowedFor = entries;
  return true;
}

// Each frame's bytes and loss, of an animation.
void SumUpFrames(const PictureColors& colors, ResultFigures& figures) {
  const int count = colors.frames.count;
  if (count < 2 || figures.frameBytes.size() != size_t(count)) return;
  const size_t frameSize = figures.pixelLoss.size() / size_t(count);
  figures.frames.resize(size_t(count));
  for (size_t k = 0; k < size_t(count); ++k) {
    ResultFigures::Frame& frame = figures.frames[k];
    frame.bytes = figures.frameBytes[k];
    double sum = 0;
    size_t measured = 0;
    for (size_t p = k * frameSize; p < (k + 1) * frameSize; ++p) {
      if (colors.IsClear(colors.ColorOfPixel(p))) continue;
      sum += figures.pixelLoss[p];
      frame.maxLoss = std::max<double>(frame.maxLoss, figures.pixelLoss[p]);
      ++measured;
    }
    frame.meanLoss = measured > 0 ? sum / double(measured) : 0;
  }
}

// An animation under a budget (animation_budget.h); the exact file stays when the budget bought
// nothing.
bool EncodeFramesWithinBudget(const PictureColors& colors, const std::vector<ColorValue>& entries,
                              const ResultCache& cache, ResultFigures& figures, int threads,
                              const std::atomic<bool>* stop) {
  BudgetedAnimation budgeted;
  if (!EncodeAnimationWithinBudget(colors, entries, cache.allowed, figures.written,
                                   figures.transparentEntry, budgeted, threads, stop))
    return false;
  if (!budgeted.error.isEmpty() || budgeted.gif.isEmpty() ||
      budgeted.gif.size() >= figures.gif.size())
    return true;
  figures.gif = std::move(budgeted.gif);
  figures.frameBytes = std::move(budgeted.frameBytes);
  figures.mergedFrames = budgeted.mergedFrames;
  figures.usage.assign(size_t(figures.rangeSize), 0);
  double weighted = 0;
  float largest = 0;
  std::uint64_t above = 0;
  for (size_t p = 0; p < budgeted.written.size(); ++p) {
    ++figures.usage[budgeted.written[p]];
    const float loss = budgeted.pixelLoss[p];
    weighted += loss;
    largest = std::max(largest, loss);
    above += loss > 1.0f;
  }
  figures.written = std::move(budgeted.written);
  figures.pixelLoss = std::move(budgeted.pixelLoss);
  SetLoss(figures, weighted, largest, above);
  return true;
}

// The file the loss-budget encoder writes, and its figures in place of the exact ones; the exact
// file stays when the budget bought nothing (substitutions that bring pixels nearer their
// colours can cost bytes on pictures with few colours), so a budget never makes a file larger.
bool EncodeWithinBudget(const PictureColors& colors, const std::vector<ColorValue>& entries,
                        double budget, ResultCache& cache, ResultFigures& figures, int threads,
                        const std::atomic<bool>* stop) {
  const int transparent = figures.transparentEntry;
  if (transparent == TransparencyRule::kNone) {
    if (!UpdateAllowed(colors, entries, budget, cache, threads, stop)) return false;
  } else {
    // Found afresh each time: the cache keeps only the allowed entries of a whole range.
    const OpaqueEntries opaque = OpaqueEntriesOf(entries, transparent);
    cache.allowedFor.clear();
    if (!FindAllowedEntries(colors, opaque.colors, cache.nearest, cache.difference, budget,
                            cache.allowed, threads, stop))
      return false;
    KeepTransparentEntry(colors, opaque, transparent, entries[size_t(transparent)], cache.allowed);
  }
  if (colors.frames.Animated())
    return EncodeFramesWithinBudget(colors, entries, cache, figures, threads, stop);
  BudgetedGif budgeted;
  if (!EncodeGifWithinBudget(colors, entries, cache.allowed, budgeted, threads, stop, {},
                             transparent))
    return false;
  if (!budgeted.error.isEmpty() || budgeted.gif.size() >= figures.gif.size()) return true;
  figures.gif = std::move(budgeted.gif);
  figures.gifError = budgeted.error;
  figures.usage = std::move(budgeted.usage);
  figures.written = std::move(budgeted.indexes);
  figures.pixelLoss = std::move(budgeted.pixelLoss);
  // The encoder's loss covers every pixel, those that were not opaque too, but for those that
  // show the transparent entry, which it counts as exact.
  figures.unmeasured = transparent == TransparencyRule::kNone ? 0 : colors.clearPixels;
  SetLoss(figures, budgeted.lossSum, budgeted.maxLoss, budgeted.aboveOne);
  return true;
}

// Each pixel's loss in the exact file: its colour's, worked out once per colour.
std::vector<float> PixelLoss(const PictureColors& colors, const ResultCache& cache, int threads) {
  const size_t pixels = static_cast<size_t>(colors.PictureSize());
  std::vector<float> loss(pixels);
  RunInParts(pixels, WorkersFor(threads, pixels, size_t{1} << 21), [&](size_t begin, size_t end) {
    for (size_t p = begin; p < end; ++p) loss[p] = cache.difference[colors.ColorOfPixel(p)];
  });
  return loss;
}

// A picture in the opponent space from the opponent values of its colours and each pixel's.
template <typename ColorOf>
OpponentPicture Opponent(const PictureColors& colors, const std::vector<std::array<float, 3>>& of,
                         ColorOf colorOf, int threads) {
  const size_t pixels = static_cast<size_t>(colors.PictureSize());
  OpponentPicture picture{colors.width, colors.height, {}};
  for (auto& plane : picture.plane) plane.resize(pixels);
  RunInParts(pixels, WorkersFor(threads, pixels, size_t{1} << 21), [&](size_t begin, size_t end) {
    for (size_t p = begin; p < end; ++p) {
      const std::array<float, 3>& o = of[colorOf(p)];
      for (int c = 0; c < 3; ++c) picture.plane[c][p] = o[c];
    }
  });
  return picture;
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

namespace {

// The picture's channels blurred as seen; each frame of an animation apart, as it is seen alone,
// so that no frame blurs into the one below it.
bool FilterFramesForViewing(OpponentPicture& picture, const FrameTiming& frames, double ppd,
                            int threads, const std::atomic<bool>* stop) {
  if (!frames.Animated()) return FilterForViewing(picture, ppd, threads, stop);
  const int height = picture.height / frames.count;
  const auto size = static_cast<std::ptrdiff_t>(picture.width) * height;
  for (int k = 0; k < frames.count; ++k) {
    OpponentPicture frame{picture.width, height, {}};
    for (size_t c = 0; c < 3; ++c) {
      const auto first = picture.plane[c].begin() + k * size;
      frame.plane[c].assign(first, first + size);
    }
    if (!FilterForViewing(frame, ppd, threads, stop)) return false;
    for (size_t c = 0; c < 3; ++c)
      std::copy(frame.plane[c].begin(), frame.plane[c].end(), picture.plane[c].begin() + k * size);
  }
  return true;
}

}  // namespace

bool ComputeVisibleLoss(const PictureColors& colors, const std::vector<ColorValue>& entries,
                        double ppd, ResultCache& cache, ResultFigures& figures, int threads,
                        const std::atomic<bool>* stop) {
  if (figures.written.size() != colors.PictureSize()) return false;
  if (cache.viewedOf != &colors || cache.viewedPpd != ppd) {
    cache.viewedOf = nullptr;
    std::vector<std::array<float, 3>> of(colors.Distinct());
    for (size_t i = 0; i < of.size(); ++i) of[i] = OpponentFromColor(colors.histogram[i].color);
    cache.viewed = Opponent(
        colors, of, [&](size_t p) { return colors.ColorOfPixel(p); }, threads);
    if (!FilterFramesForViewing(cache.viewed, colors.frames, ppd, threads, stop)) return false;
    cache.viewedOf = &colors;
    cache.viewedPpd = ppd;
  }
  if (Stopped(stop)) return false;
  // The file as seen, but for the clear pixels, which are not measured: they keep the picture's
  // colours, so that nothing of theirs spreads into the opaque pixels' loss. Their opponent
  // values follow the entries' in `of`.
  const size_t count = entries.size();
  std::vector<std::array<float, 3>> of(count + (colors.clear.empty() ? 0 : colors.Distinct()));
  for (size_t k = 0; k < count; ++k) of[k] = OpponentFromColor(entries[k]);
  for (size_t i = 0; i < colors.clear.size(); ++i)
    if (colors.IsClear(i)) of[count + i] = OpponentFromColor(colors.histogram[i].color);
  OpponentPicture written = Opponent(
      colors, of,
      [&](size_t p) {
        const std::uint32_t color = colors.ColorOfPixel(p);
        return colors.IsClear(color) ? count + color : size_t{figures.written[p]};
      },
      threads);
  if (!FilterFramesForViewing(written, colors.frames, ppd, threads, stop)) return false;
  figures.viewingPpd = ppd;
  figures.visibleLoss = SCielabDifferences(cache.viewed, written, threads);
  double sum = 0;
  std::uint64_t above = 0;
  for (size_t p = 0; p < figures.visibleLoss.size(); ++p) {
    float& loss = figures.visibleLoss[p];
    if (colors.IsClear(colors.ColorOfPixel(p))) loss = 0;
    sum += loss;
    above += loss > 1.0f;
  }
  const double measured = std::max<double>(1, double(colors.PictureSize() - colors.clearPixels));
  figures.visibleMean = sum / measured;
  figures.visibleShareAboveOne = double(above) / measured;
  return true;
}

bool ComputeResultFigures(const PictureColors& colors, const std::vector<ColorValue>& entries,
                          int transparentEntry, ResultFigures& figures, ResultCache* cache,
                          int threads, const std::atomic<bool>* stop, double budget,
                          double viewingPpd) {
  const int count = static_cast<int>(entries.size());
  if (colors.Distinct() == 0 || count < 1 || count > 256) return false;
  figures = ResultFigures{};
  figures.rangeSize = count;
  figures.tableBits = GifTableBits(count);
  figures.transparentEntry = TransparentEntryIn(transparentEntry, count);
  figures.budget = budget;

  ResultCache ownCache;
  ResultCache& known = cache ? *cache : ownCache;
  if (known.picture != &colors) {
    known = ResultCache{};
    known.picture = &colors;
  }
  const OpaqueEntries opaque = OpaqueEntriesOf(entries, figures.transparentEntry);
  UpdateNearest(colors, opaque.colors, known, threads);
  if (Stopped(stop)) return false;
  const std::vector<std::uint8_t> positions =
      RangePositions(colors, opaque, known.nearest, figures.transparentEntry);
  UpdateDifferences(colors, entries, positions, known, threads);
  SumUp(colors, known, positions, figures);
  if (Stopped(stop)) return false;

  IndexedPicture picture = Reduced(colors, entries, positions, figures.transparentEntry, threads);
  if (Stopped(stop)) return false;
  EncodedPicture gif = EncodeGifFrames(picture, colors.frames, threads, &figures.frameBytes);
  figures.exact = {gif.ok() ? static_cast<std::int64_t>(gif.bytes.size()) : -1, figures.meanLoss,
                   figures.maxLoss, figures.shareAboveOne};
  figures.gif = std::move(gif.bytes);
  figures.gifError = gif.error;
  figures.mergedFrames = gif.mergedFrames;
  figures.written = std::move(picture.indexes);
  figures.pixelLoss = PixelLoss(colors, known, threads);
  if (Stopped(stop)) return false;
  if (figures.budget > 0 && figures.gifError.isEmpty() &&
      !EncodeWithinBudget(colors, entries, figures.budget, known, figures, threads, stop))
    return false;
  SumUpFrames(colors, figures);
  return viewingPpd <= 0 ||
         ComputeVisibleLoss(colors, entries, viewingPpd, known, figures, threads, stop);
}

bool ComputeResultFigures(const PictureColors& colors, const std::vector<ColorValue>& entries,
                          ResultFigures& figures, ResultCache* cache, int threads,
                          const std::atomic<bool>* stop, double budget, double viewingPpd) {
  return ComputeResultFigures(colors, entries, TransparencyRule::kNone, figures, cache, threads,
                              stop, budget, viewingPpd);
}

}  // namespace tavlo
