#pragma once
// What "Reduce to target..." and `tavlo-cli palette --target` weigh a palette by when the target
// is of the files as written: the size of the pictures' GIFs, or the share of their measured
// pixels whose visible loss exceeds 1.0. One home for both, so that the window and the command
// line weigh every palette alike.
#include <QImage>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/color_value.h"
#include "reduction/frame_timing.h"
#include "reduction/picture_colors.h"
#include "reduction/result_figures.h"
#include "reduction/transparency.h"

namespace tavlo {

// A picture to weigh: its pixels (every frame of an animation one below the other), how it is an
// animation, the position of the transparent entry its GIF names (TransparencyRule::kNone for
// none) and, when the caller analysed them already, its colours (which must outlive the
// measures).
struct WeighedPicture {
  QImage pixels;
  FrameTiming timing;
  int transparentEntry = TransparencyRule::kNone;
  const PictureColors* colors = nullptr;
};

class TargetMeasures {
 public:
  // Under the loss budget `budget`, the pictures' clear pixels told apart by `alpha`.
  TargetMeasures(std::vector<WeighedPicture> pictures, const AlphaRule& alpha, double budget);

  // The size of all the GIFs written with `entries` (the range's colours) as their table.
  std::uint64_t GifBytes(const std::vector<ColorValue>& entries,
                         const std::atomic<bool>* stop = nullptr);
  // The share (0 to 1) of all the measured pixels whose visible loss at `viewingPpd` exceeds 1.0
  // in those GIFs. Each picture is seen at the viewing condition once for every palette weighed.
  double VisibleShare(const std::vector<ColorValue>& entries, double viewingPpd,
                      const std::atomic<bool>* stop = nullptr);

 private:
  struct Weighed {
    WeighedPicture picture;
    std::optional<PictureColors> analysed;  // when the caller gave none
    ResultCache cache;
  };
  const PictureColors& ColorsOf(Weighed& weighed) const;

  std::vector<Weighed> pictures_;  // never resized: the caches point into it
  AlphaRule alpha_;
  double budget_;
};

}  // namespace tavlo
