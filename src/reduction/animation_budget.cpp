#include "reduction/animation_budget.h"

#include <atomic>

#include "base/parallel_work.h"

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

}  // namespace

std::uint64_t KeepShownWithinBudget(const PictureColors& colors, const AllowedEntries& allowed,
                                    std::vector<std::uint8_t>& written,
                                    std::vector<float>& pixelLoss, int threads) {
  const int count = colors.frames.count;
  if (count < 2 || colors.height % count != 0 || allowed.color.size() != colors.Distinct())
    return 0;
  const size_t frameSize = size_t(colors.width) * size_t(colors.height / count);
  std::atomic<std::uint64_t> kept = 0;
  for (int k = 1; k < count; ++k) {
    const size_t first = size_t(k) * frameSize;
    const size_t parts = threads > 0 ? size_t(threads) : ThreadsFor(frameSize, size_t{1} << 18);
    RunInParts(frameSize, parts, [&](size_t begin, size_t end) {
      std::uint64_t here = 0;
      for (size_t p = first + begin; p < first + end; ++p) {
        const std::uint8_t shown = written[p - frameSize];
        if (written[p] == shown) continue;
        const std::uint32_t c = colors.ColorOfPixel(p);
        const float loss = AllowedLoss(allowed, c, shown);
        if (loss < 0) continue;
        written[p] = shown;
        if (!colors.IsClear(c)) pixelLoss[p] = loss;
        ++here;
      }
      kept += here;
    });
  }
  return kept;
}

}  // namespace tavlo
