#pragma once
// The plain nearest-colour search: every pixel against every palette entry. Kept as the reference
// that faster engines are checked against.
#include <stdint.h>

#include "colorlib/tavlo_color.h"

namespace tavlo::colorlib {

// Index of the palette entry nearest to (r, g, b) by squared RGB distance; ties go to the lower
// index. `palette` holds `count` >= 1 colour values 0x00BBGGRR.
TAVLO_COLOR_API int NearestIndexBruteForce(int r, int g, int b, const int32_t* palette, int count);

// Reduces the picture with NearestIndexBruteForce; same arguments as PreViewImage.
TAVLO_COLOR_API void PreviewBruteForce(uint32_t* pixels, int32_t width, int32_t height,
                                       int32_t stride, const int32_t* palette, int32_t count);

}  // namespace tavlo::colorlib
