#pragma once
// The CIEDE2000 colour difference with the parametric factors kL = kC = kH = 1. A difference of
// about 1 is the smallest that people notice between two colours side by side.
#include "color_science/cielab.h"

namespace tavlo {

// Symmetric, 0 for equal colours. Where the hue is undefined (a chroma of 0) it counts as 0, and
// the mean hue of a pair follows the usual rule for hues more than 180 degrees apart.
double Ciede2000(const Lab& first, const Lab& second);

}  // namespace tavlo
