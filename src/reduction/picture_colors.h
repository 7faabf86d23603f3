#pragma once
// A picture's colours, worked out once per picture: its colour histogram (the distinct colours
// with the pixel count of each), the CIELAB value of each colour, and for every pixel which of
// them it has. The quantizer and the range operations start from the histogram; the result
// figures from all of it, so that an edit of the palette costs per distinct colour (which entry
// is nearest, how far it is) and one look-up per pixel, never a colour search per pixel.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "color_science/cielab.h"
#include "color_science/color_histogram.h"
#include "reduction/frame_timing.h"
#include "reduction/transparency.h"

namespace tavlo {

struct LabFloat {
  float L = 0, a = 0, b = 0;
  Lab ToLab() const { return Lab{L, a, b}; }
};

struct PictureColors {
  int width = 0;
  int height = 0;
  // The histogram: each distinct colour once with its pixel count, in the order of its first
  // pixel (row by row), so that a sweep over the pixels meets them in nearly increasing order.
  std::vector<ColorCount> histogram;
  std::vector<LabFloat> lab;  // the CIELAB value of each colour of the histogram
  // The colour of each pixel, row by row, as its position in `histogram`: 3 bytes a pixel, little
  // endian, and one byte of padding at the end.
  std::vector<std::uint8_t> pixelColor;
  // For pictures analysed with an alpha rule: every colour is that of its pixels laid over the
  // matte, and the colours of clear pixels are entries of their own, flagged here, so that a
  // colour may be named twice: once for opaque pixels, once for clear ones. Empty when no pixel
  // is clear.
  std::vector<std::uint8_t> clear;
  std::uint64_t clearPixels = 0;        // alpha below the threshold
  std::uint64_t partlyClearPixels = 0;  // of them, those whose alpha is not 0
  AlphaRule alpha;                      // the rule the picture was analysed by
  // When the picture is an animation's frames one below the other: how; its GIF is then the
  // animation's.
  FrameTiming frames;

  size_t Distinct() const { return histogram.size(); }
  bool IsClear(size_t i) const { return !clear.empty() && clear[i] != 0; }
  std::uint64_t PictureSize() const { return std::uint64_t(width) * std::uint64_t(height); }
  std::uint32_t ColorOfPixel(size_t pixel) const {
    std::uint32_t id;
    std::memcpy(&id, pixelColor.data() + 3 * pixel, 4);
    return id & 0xFFFFFF;
  }
  size_t Bytes() const;  // memory held
};

// The picture is `height` rows of `width` pixels 0x??RRGGBB, `stride` bytes apart; with `alpha`
// they are 0xAARRGGBB (not premultiplied) and analysed by that rule, else the top byte is not
// read. Needs, while it works, 2 KiB for each group of 512 colours (8 x 8 x 8) the picture
// touches. Throws std::bad_alloc when memory runs out.
PictureColors AnalysePicture(const std::uint32_t* first, int width, int height,
                             std::ptrdiff_t stride, int threads = 0,
                             const AlphaRule* alpha = nullptr);

// The colours of the pixels that are not clear, each once with its count.
std::vector<ColorCount> OpaqueHistogram(const PictureColors& colors);

}  // namespace tavlo
