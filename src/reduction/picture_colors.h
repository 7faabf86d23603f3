#pragma once
// What the result figures need of a picture, worked out once per picture: its distinct colours,
// with the pixel count and the CIELAB value of each, and for every pixel which of them it has.
// After that an edit of the palette costs per distinct colour (which entry is nearest, how far
// it is) and one look-up per pixel, never a colour search per pixel.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "color_science/cielab.h"

namespace tavlo {

struct LabFloat {
  float L = 0, a = 0, b = 0;
  Lab ToLab() const { return Lab{L, a, b}; }
};

struct PictureColors {
  int width = 0;
  int height = 0;
  // Each distinct colour once, in the order of its first pixel (row by row), so that a sweep over
  // the pixels meets them in nearly increasing order: its colour value, its pixel count and its
  // CIELAB value.
  std::vector<ColorValue> color;
  std::vector<std::uint32_t> counts;
  std::vector<LabFloat> lab;
  // The colour of each pixel, row by row, as its position in `colour`: 3 bytes a pixel, little
  // endian, and one byte of padding at the end.
  std::vector<std::uint8_t> pixelColor;

  size_t Distinct() const { return counts.size(); }
  std::uint64_t PictureSize() const { return std::uint64_t(width) * std::uint64_t(height); }
  std::uint32_t ColorOfPixel(size_t pixel) const {
    std::uint32_t id;
    std::memcpy(&id, pixelColor.data() + 3 * pixel, 4);
    return id & 0xFFFFFF;
  }
  size_t Bytes() const;  // memory held
};

// The picture is `height` rows of `width` pixels 0x??RRGGBB, `stride` bytes apart. Needs, while
// it works, 2 KiB for each group of 512 colours (8 x 8 x 8) the picture touches. Throws
// std::bad_alloc when memory runs out.
PictureColors AnalysePicture(const std::uint32_t* first, int width, int height,
                             std::ptrdiff_t stride, int threads = 0);

}  // namespace tavlo
