#pragma once
// The preview engine behind PreViewImage, with the choices PreViewImage makes for itself exposed
// for benchmarks and tests.
#include <stddef.h>
#include <stdint.h>

#include "colorlib/tavlo_color.h"

namespace tavlo::colorlib {

struct PreviewOptions {
  // Worker threads; 0 chooses by picture size and the processor count. Any number gives the same
  // picture.
  int threads = 0;
  // Floyd-Steinberg error diffusion (one thread) instead of the plain nearest colour.
  bool dither = false;
  // Storage limits of each worker's lookup table (see nearest_table.h); tests lower them.
  int leafLimit = 0xFFFF;
  size_t middleListBytes = size_t{1} << 20;
  // The pixel loop for any processor even where a faster one for newer processors runs (tests).
  bool portableLoop = false;
};

// PreViewImage with explicit options. Returns the number of worker threads that ran (0 when the
// arguments were refused and the picture left untouched).
TAVLO_COLOR_API int PreviewWithOptions(uint32_t* pixels, int32_t width, int32_t height,
                                       int32_t stride, const int32_t* palette, int32_t count,
                                       const PreviewOptions& options);

// The palette index that PreViewImage gives each pixel (nearest by squared RGB distance, ties to
// the lower index), written to `indexes`: `width` bytes for each row, rows `indexStride` bytes
// apart. The picture is only read. `options.dither` is not used. Returns the number of worker
// threads that ran (0 when the arguments were refused and nothing written).
TAVLO_COLOR_API int IndexImage(const uint32_t* pixels, int32_t width, int32_t height,
                               int32_t stride, const int32_t* palette, int32_t count,
                               uint8_t* indexes, int64_t indexStride,
                               const PreviewOptions& options = {});

// The number of worker threads PreViewImage uses for a picture of `pixels` pixels.
TAVLO_COLOR_API int AutomaticWorkerCount(int64_t pixels);

}  // namespace tavlo::colorlib
