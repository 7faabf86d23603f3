#pragma once
// A colour value's three components, split by the companion library.
#include "base/color_value.h"

namespace tavlo {

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
};

Rgb SplitColor(ColorValue color);

}  // namespace tavlo
