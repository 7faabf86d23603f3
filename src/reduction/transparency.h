#pragma once
// How a picture's transparency enters its reduction to a range of entries:
// - a pixel whose alpha is below the threshold is clear: it gets the transparent entry;
// - every other pixel is laid over the matte colour (OverMatte) and gets the nearest entry of the
//   range other than the transparent one, by the preview's rule, so that an opaque pixel never
//   becomes transparent by accident.
// Without a transparent entry every pixel, clear ones too, is laid over the matte and gets the
// nearest entry of the whole range. A picture whose pixels are all opaque and a rule without a
// transparent entry give exactly the reduction of the picture's colours.
#include <cstdint>
#include <vector>

#include "base/color_value.h"

namespace tavlo {

// What counts as clear, and what the rest is laid over.
struct AlphaRule {
  int threshold = kDefaultAlphaThreshold;  // 1 .. 255
  ColorValue matte = kWhiteColor;
  bool operator==(const AlphaRule&) const = default;
};

struct TransparencyRule {
  static constexpr int kNone = -1;
  int entry = kNone;  // the transparent entry's position in the range, or kNone
  AlphaRule alpha;
  bool operator==(const TransparencyRule&) const = default;
};

constexpr bool IsClear(std::uint32_t pixel, int threshold) {
  return static_cast<int>(pixel >> 24) < threshold;
}

// The transparent entry `entry`, a position in a range of `count` entries, or kNone: an entry
// outside the range, or a range of one entry (which the opaque pixels need), has none.
int TransparentEntryIn(int entry, int count);

// The entries an opaque pixel may take: the range's entries but the transparent one, in order,
// with each one's position in the range.
struct OpaqueEntries {
  std::vector<ColorValue> colors;
  std::vector<std::uint8_t> positions;
};
OpaqueEntries OpaqueEntriesOf(const std::vector<ColorValue>& entries, int transparentEntry);

}  // namespace tavlo
