#pragma once
// An entry of a picture's colour histogram: a distinct colour with the number of pixels of it.
// Everything that is worked out per colour rather than per pixel (loss figures, usage of palette
// entries, quantizers) starts from a histogram, which AnalysePicture (reduction/picture_colors.h)
// makes once per picture.
#include <cstdint>

#include "base/color_value.h"

namespace tavlo {

struct ColorCount {
  ColorValue color = 0;     // 0x00BBGGRR
  std::uint32_t count = 0;  // pixels of this colour, at least 1
  bool operator==(const ColorCount&) const = default;
};

}  // namespace tavlo
