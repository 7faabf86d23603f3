#include "picture/animation.h"

namespace tavlo {

QImage Animation::Frame(int k) const {
  if (k < 0 || k >= count) return {};
  return frames.copy(0, k * FrameHeight(), frames.width(), FrameHeight());
}

}  // namespace tavlo
