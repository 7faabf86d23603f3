#include "cli/target_measures.h"

#include "reduction/from_image.h"
#include "reduction/gif_encoder.h"

namespace tavlo::cli {

std::uint64_t GifBytesOf(const std::vector<KeptPicture>& pictures,
                         const std::vector<ColorValue>& entries, double budget,
                         int transparentEntry, const AlphaRule& alpha) {
  std::uint64_t bytes = 0;
  for (const KeptPicture& picture : pictures) {
    const TransparencyRule rule{picture.clear ? transparentEntry : TransparencyRule::kNone, alpha};
    const EncodedPicture gif =
        EncodeImageGif(picture.pixels, entries, budget, 0, rule, picture.timing);
    bytes += static_cast<std::uint64_t>(gif.bytes.size());
  }
  return bytes;
}

VisibleShareOf::VisibleShareOf(const std::vector<KeptPicture>& pictures, const AlphaRule& alpha,
                               double viewingPpd, double budget, int transparentEntry)
    : pictures_(pictures.size()),
      viewingPpd_(viewingPpd),
      budget_(budget),
      transparentEntry_(transparentEntry) {
  for (size_t i = 0; i < pictures.size(); ++i) {
    pictures_[i].colors = AnalyseImage(pictures[i].pixels, alpha, 0, pictures[i].timing);
    pictures_[i].clear = pictures[i].clear;
  }
}

double VisibleShareOf::operator()(const std::vector<ColorValue>& entries) {
  double above = 0, measured = 0;
  for (Seen& picture : pictures_) {
    ResultFigures figures;
    const int transparent = picture.clear ? transparentEntry_ : TransparencyRule::kNone;
    ComputeResultFigures(picture.colors, entries, transparent, figures, &picture.cache, 0, nullptr,
                         budget_, viewingPpd_);
    above += figures.visibleShareAboveOne * double(figures.Measured());
    measured += double(figures.Measured());
  }
  return measured > 0 ? above / measured : 0;
}

}  // namespace tavlo::cli
