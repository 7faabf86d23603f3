#pragma once
// What the loss figures need of a picture, worked out once per picture: its distinct colours with
// their pixel counts and the CIELAB value of each. Everything after that costs per distinct
// colour, not per pixel.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "colour/colour_histogram.h"

namespace tavlo {

struct LabFloat {
  float L = 0, a = 0, b = 0;
};

struct PictureColours {
  ColourHistogram histogram;
  // The distinct colours as pixels 0xFFRRGGBB in histogram order, in rows of kRowLength, the last
  // row padded with the last colour: a picture the preview engine can reduce on every core.
  std::vector<std::uint32_t> pixels;
  std::vector<LabFloat> lab;  // of each distinct colour

  static constexpr int kRowLength = 4096;
  int Rows() const { return static_cast<int>(pixels.size() / kRowLength); }
  size_t Bytes() const;  // memory held
};

// Throws std::bad_alloc when memory runs out.
PictureColours AnalysePicture(const std::uint32_t* first, int width, int height,
                              std::ptrdiff_t stride, int threads = 0);

}  // namespace tavlo
