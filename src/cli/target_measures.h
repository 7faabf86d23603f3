#pragma once
// What palette --target weighs a palette by when the target is of the pictures as written: the
// size of all their GIFs, or the visible loss over all their pixels.
#include <QImage>
#include <cstdint>
#include <vector>

#include "base/color_value.h"
#include "reduction/frame_timing.h"
#include "reduction/result_figures.h"
#include "reduction/transparency.h"

namespace tavlo::cli {

// A picture kept for such a target: its pixels (all frames of an animation), whether some are
// transparent, and how it is an animation.
struct KeptPicture {
  QImage pixels;
  bool clear = false;
  FrameTiming timing;
};

// The size of all the pictures' GIFs with `entries` as their colour table, under `budget`, the
// transparent entry at `transparentEntry` for pictures with transparent pixels.
std::uint64_t GifBytesOf(const std::vector<KeptPicture>& pictures,
                         const std::vector<ColorValue>& entries, double budget,
                         int transparentEntry, const AlphaRule& alpha);

// The share (0 to 1) of all the pictures' measured pixels whose visible loss at `viewingPpd`
// exceeds 1.0 in the GIFs written with `entries`, as measure reports it picture by picture. Each
// picture is analysed, and seen at the viewing condition, once for every palette weighed.
class VisibleShareOf {
 public:
  VisibleShareOf(const std::vector<KeptPicture>& pictures, const AlphaRule& alpha,
                 double viewingPpd, double budget, int transparentEntry);
  double operator()(const std::vector<ColorValue>& entries);

 private:
  struct Seen {
    PictureColors colors;
    bool clear = false;
    ResultCache cache;
  };
  std::vector<Seen> pictures_;
  double viewingPpd_, budget_;
  int transparentEntry_;
};

}  // namespace tavlo::cli
