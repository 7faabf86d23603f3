#pragma once
// The colour histogram of a picture: its distinct colours with the number of pixels of each.
// Everything that is worked out per colour rather than per pixel (loss figures, usage of palette
// entries, quantizers) starts from it, so it is computed once per picture.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/color_value.h"

namespace tavlo {

struct ColorCount {
  ColorValue color = 0;     // 0x00BBGGRR
  std::uint32_t count = 0;  // pixels of this colour, at least 1
  bool operator==(const ColorCount&) const = default;
};

struct ColorHistogram {
  std::vector<ColorCount> colors;  // each distinct colour once, ascending by colour value
  std::uint64_t pixels = 0;        // width * height: the sum of all counts
};

// Counts the colours of the picture of `height` rows of `width` pixels 0x??RRGGBB (Qt's RGB32
// and ARGB32 order; the top byte is ignored), rows `stride` bytes apart from `first`. The picture
// must hold fewer than 2^32 pixels. `threads` 0 chooses by picture size and processor count; any
// number gives the same histogram. Needs 2 bytes a pixel while it works, besides the result (8
// bytes a colour); throws std::bad_alloc when they cannot be had.
ColorHistogram CountColors(const std::uint32_t* first, int width, int height, std::ptrdiff_t stride,
                           int threads = 0);

}  // namespace tavlo
