#pragma once
// How a picture is an animation: `count` frames of equal height one below the other, each shown
// for its delay, the whole played `loops` times more (0 for ever, -1 once, without a loop count in
// the file). A count of 1 is a still picture.
#include <vector>

namespace tavlo {

struct FrameTiming {
  int count = 1;
  std::vector<int> delays;  // milliseconds, one for each frame
  int loops = -1;
  bool Animated() const { return count > 1; }
  bool operator==(const FrameTiming&) const = default;
};

}  // namespace tavlo
