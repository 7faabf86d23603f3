#pragma once
// What the loss figures need of a picture, worked out once per picture: its distinct colours with
// their pixel counts and the CIELAB value of each. Everything after that costs per distinct
// colour, not per pixel.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "colour/cielab.h"

namespace tavlo {

struct LabFloat {
  float L = 0, a = 0, b = 0;
  Lab ToLab() const { return Lab{L, a, b}; }
};

struct PictureColours {
  // Each distinct colour once, in the order of its first pixel: the position of that pixel
  // (row * width + column), its colour 0x00BBGGRR, its pixel count and its CIELAB value. A colour's
  // nearest entry is then the reduced index of its first pixel, read in one forward sweep.
  std::vector<std::uint32_t> firstPixel;
  std::vector<ColorValue> colour;
  std::vector<std::uint32_t> counts;
  std::vector<LabFloat> lab;
  std::uint64_t pictureSize = 0;  // pixels of the picture: the sum of the counts

  size_t Distinct() const { return counts.size(); }
  size_t Bytes() const;  // memory held
};

// The picture must hold fewer than 2^32 pixels. Throws std::bad_alloc when memory runs out.
PictureColours AnalysePicture(const std::uint32_t* first, int width, int height,
                              std::ptrdiff_t stride, int threads = 0);

}  // namespace tavlo
