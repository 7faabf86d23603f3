#pragma once
// The frames of an animated picture, each composed as a viewer shows it, held one below the other
// in one image: frame k is rows k * FrameHeight() to (k + 1) * FrameHeight() - 1. One image keeps
// a whole animation analysable at once, as one picture whose pixels are every pixel of every
// frame, and costs nothing beyond the frames themselves.
#include <QImage>
#include <QString>
#include <vector>

namespace tavlo {

struct Animation {
  QImage frames;  // Format_ARGB32 when a pixel of some frame is not opaque, else Format_RGB32
  int count = 0;  // frames; 0 for a picture that is no animation
  std::vector<int> delays;  // of each frame in milliseconds, as the file gives them
  int loops = -1;           // -1: shown once (no loop count in the file); 0: for ever; n: n repeats

  bool Animated() const { return count > 1; }
  int FrameHeight() const { return count > 0 ? frames.height() / count : 0; }
  // A copy of frame k (0-based), which outlives the animation.
  QImage Frame(int k) const;
};

}  // namespace tavlo
