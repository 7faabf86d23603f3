#pragma once
// The companion colour library: a shared library with a plain C interface, so that it can be
// loaded and called like any system library. Colour values are 0x00BBGGRR (red in the low byte).
#include <stdint.h>

#if defined(TAVLO_COLOR_BUILD)
#define TAVLO_COLOR_API __attribute__((visibility("default")))
#else
#define TAVLO_COLOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Splits a colour value into its channels, each 0..255. Any of the out pointers may be null.
TAVLO_COLOR_API void GetRGB(int32_t color, int32_t* red, int32_t* green, int32_t* blue);

// Reduces a 32-bit picture in place to the given palette: every pixel becomes the palette colour
// nearest to it by squared RGB distance, ties going to the lower palette index.
//   pixels:  first row of the picture, pixels 0xAARRGGBB (QImage::Format_RGB32 / ARGB32 order);
//            the alpha byte is set to 0xFF in the result.
//   stride:  distance between rows in bytes.
//   palette: `count` colour values 0x00BBGGRR, 1 <= count <= 256. A count outside that range
//            leaves the picture untouched.
TAVLO_COLOR_API void PreViewImage(uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                                  const int32_t* palette, int32_t count);

#ifdef __cplusplus
}
#endif
