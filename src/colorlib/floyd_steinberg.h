#pragma once
// Floyd-Steinberg error diffusion on top of the exact lookup: each pixel takes the palette colour
// nearest to its colour plus the error carried to it, and passes its own error on with the
// classic weights 7/16 (right), 3/16, 5/16, 1/16 (below left, below, below right). Rows run left
// to right; carried errors are kept in 1/16 units and rounded half away from zero when applied;
// the adjusted colour is clamped to 0..255.
#include <stdint.h>

#include "colorlib/nearest_table.h"

namespace tavlo::colorlib {

// Dithers the picture of `height` rows of `width` pixels 0xAARRGGBB, `stride` bytes apart, in
// place; alpha becomes 0xFF. Needs two rows of carried errors; returns false, leaving the picture
// untouched, when they cannot be had.
bool DitherFloydSteinberg(NearestTable& table, unsigned char* first, int32_t width, int32_t height,
                          int64_t stride);

}  // namespace tavlo::colorlib
