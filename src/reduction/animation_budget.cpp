#include "reduction/animation_budget.h"

#include <cstring>

#include "reduction/animated_gif.h"
#include "reduction/budget_encoder.h"

namespace tavlo {
namespace {

// The difference of `entry` for a pixel of colour c when it is one of c's allowed entries, else
// a negative number.
float AllowedLoss(const AllowedEntries& allowed, std::uint32_t c, std::uint8_t entry) {
  const AllowedColor& color = allowed.color[c];
  for (std::uint32_t k = color.first; k < color.first + color.count; ++k)
    if (allowed.entry[k] == entry) return allowed.loss[k];
  return -1;
}

// Frame k of an animation's colours as a still picture of its own: the same colours, its pixels.
PictureColors FrameColors(const PictureColors& colors, int k) {
  PictureColors frame;
  frame.width = colors.width;
  frame.height = colors.height / colors.frames.count;
  frame.histogram = colors.histogram;
  frame.lab = colors.lab;
  frame.clear = colors.clear;
  frame.alpha = colors.alpha;
  const size_t bytes = 3 * size_t(frame.width) * size_t(frame.height);
  frame.pixelColor.resize(bytes + 1);  // and the padding byte a pixel's read may touch
  std::memcpy(frame.pixelColor.data(), colors.pixelColor.data() + size_t(k) * bytes, bytes);
  return frame;
}

bool Stopped(const std::atomic<bool>* stop) {
  return stop && stop->load(std::memory_order_relaxed);
}

}  // namespace

bool EncodeAnimationWithinBudget(const PictureColors& colors,
                                 const std::vector<ColorValue>& entries,
                                 const AllowedEntries& allowed,
                                 const std::vector<std::uint8_t>& exact, int transparent,
                                 BudgetedAnimation& result, int threads,
                                 const std::atomic<bool>* stop) {
  result = BudgetedAnimation{};
  const int count = colors.frames.count;
  if (count < 1 || colors.height % count != 0 || allowed.color.size() != colors.Distinct() ||
      exact.size() != colors.PictureSize())
    return true;
  const size_t frameSize = size_t(colors.width) * size_t(colors.height / count);
  FrameOptions options;
  options.keepShown = [&](int k, const std::uint8_t* frame, const std::uint8_t* screen,
                          std::vector<std::uint8_t>& kept) {
    kept.assign(frame, frame + frameSize);
    bool any = false;
    for (size_t p = 0; p < frameSize; ++p) {
      if (kept[p] == screen[p] ||
          AllowedLoss(allowed, colors.ColorOfPixel(size_t(k) * frameSize + p), screen[p]) < 0)
        continue;
      kept[p] = screen[p];
      any = true;
    }
    return any;
  };
  options.whole = [&](int k) -> std::optional<WholeFrame> {
    BudgetedGif still;
    // A GIF's frames, which most animations are, have every pixel exactly on an entry already,
    // where the still picture's rule of keeping near-exact pixels would keep them all.
    BudgetTuning tuning;
    tuning.keptBelow = 0;
    if (Stopped(stop) ||
        !EncodeGifWithinBudget(FrameColors(colors, k), entries, allowed, still, threads, stop,
                               tuning, transparent) ||
        !still.error.isEmpty())
      return std::nullopt;
    return WholeFrame{std::move(still.indexes), std::move(still.codes)};
  };
  const IndexedPicture picture{colors.width, colors.height, exact, entries, transparent};
  EncodedPicture gif = EncodeAnimatedGif(picture, colors.frames, threads, &result.frameBytes,
                                         &options, &result.written);
  if (Stopped(stop)) return false;
  result.gif = std::move(gif.bytes);
  result.error = gif.error;
  result.mergedFrames = gif.mergedFrames;
  if (!result.error.isEmpty()) return true;
  result.pixelLoss.resize(result.written.size());
  for (size_t p = 0; p < result.written.size(); ++p) {
    const std::uint32_t c = colors.ColorOfPixel(p);
    result.pixelLoss[p] =
        colors.IsClear(c) ? 0 : std::max(0.0f, AllowedLoss(allowed, c, result.written[p]));
  }
  return true;
}

}  // namespace tavlo
