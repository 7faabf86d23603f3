#include "quantize/palette_loss.h"

#include "color_science/ciede2000_batch.h"
#include "quantize/parallel_chunks.h"
#include "quantize/rgb_nearest.h"

namespace tavlo::quantize {

PaletteLoss LossOf(const WorkingColors& colors, const std::vector<ColorValue>& palette,
                   int threads) {
  const std::vector<std::uint16_t> nearest =
      AssignNearestEntries(colors.color, palette, threads).first;
  std::vector<Lab> entryLab;
  for (ColorValue c : palette) entryLab.push_back(LabFromColor(c));
  std::vector<PaletteLoss> perChunk(ChunkCount(colors.Size()));
  ForEachChunk(colors.Size(), threads, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
    std::vector<Lab> target(end - begin);
    std::vector<double> loss(end - begin);
    for (std::size_t i = begin; i < end; ++i) target[i - begin] = entryLab[nearest[i]];
    Ciede2000Batch(end - begin, &colors.lab[begin], target.data(), loss.data());
    PaletteLoss sum;
    for (std::size_t i = begin; i < end; ++i) {
      sum.mean += colors.count[i] * loss[i - begin];
      if (loss[i - begin] > 1.0) sum.aboveOne += colors.count[i];
    }
    perChunk[chunk] = sum;
  });
  PaletteLoss total;
  for (const PaletteLoss& p : perChunk) total.mean += p.mean, total.aboveOne += p.aboveOne;
  double pixels = 0;
  for (std::uint32_t c : colors.count) pixels += c;
  if (pixels > 0) total.mean /= pixels, total.aboveOne /= pixels;
  return total;
}

}  // namespace tavlo::quantize
