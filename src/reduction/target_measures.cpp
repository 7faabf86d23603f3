#include "reduction/target_measures.h"

#include "reduction/animated_gif.h"
#include "reduction/from_image.h"

namespace tavlo {

TargetMeasures::TargetMeasures(std::vector<WeighedPicture> pictures, const AlphaRule& alpha,
                               double budget)
    : pictures_(pictures.size()), alpha_(alpha), budget_(budget) {
  for (size_t i = 0; i < pictures.size(); ++i) pictures_[i].picture = std::move(pictures[i]);
}

const PictureColors& TargetMeasures::ColorsOf(Weighed& weighed) const {
  const WeighedPicture& picture = weighed.picture;
  if (picture.colors) return *picture.colors;
  if (!weighed.analysed) weighed.analysed = AnalyseImage(picture.pixels, alpha_, 0, picture.timing);
  return *weighed.analysed;
}

std::uint64_t TargetMeasures::GifBytes(const std::vector<ColorValue>& entries,
                                       const std::atomic<bool>* stop) {
  const int count = static_cast<int>(entries.size());
  std::uint64_t bytes = 0;
  for (Weighed& weighed : pictures_) {
    const WeighedPicture& picture = weighed.picture;
    const int transparent = TransparentEntryIn(picture.transparentEntry, count);
    if (budget_ <= 0) {
      // The exact file needs no analysis: the preview's rule and the encoder.
      const TransparencyRule rule{transparent, alpha_};
      bytes += std::uint64_t(
          EncodeGifFrames(ReduceImage(picture.pixels, entries, rule), picture.timing).bytes.size());
      continue;
    }
    ResultFigures figures;
    if (!ComputeResultFigures(ColorsOf(weighed), entries, transparent, figures, &weighed.cache, 0,
                              stop, budget_))
      return bytes;
    bytes += std::uint64_t(figures.GifBytes());
  }
  return bytes;
}

double TargetMeasures::VisibleShare(const std::vector<ColorValue>& entries, double viewingPpd,
                                    const std::atomic<bool>* stop) {
  const int count = static_cast<int>(entries.size());
  double above = 0, measured = 0;
  for (Weighed& weighed : pictures_) {
    ResultFigures figures;
    const int transparent = TransparentEntryIn(weighed.picture.transparentEntry, count);
    if (!ComputeResultFigures(ColorsOf(weighed), entries, transparent, figures, &weighed.cache, 0,
                              stop, budget_, viewingPpd))
      break;
    above += figures.visibleShareAboveOne * double(figures.Measured());
    measured += double(figures.Measured());
  }
  return measured > 0 ? above / measured : 0;
}

}  // namespace tavlo
