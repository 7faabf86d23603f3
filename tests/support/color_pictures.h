#pragma once
// Colour histograms for the quantizer's tests: made directly, or counted from synthetic pictures
// that look like photos (smooth gradients and noise) or drawings (flat areas).
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <random>
#include <vector>

#include "color_science/color_histogram.h"

namespace tavlo::testing {

// The histogram of the given colours and counts (repeats add up), sorted by colour value.
inline std::vector<ColorCount> HistogramOf(std::initializer_list<ColorCount> counts) {
  std::map<ColorValue, std::uint32_t> sums;
  for (const ColorCount& c : counts) sums[c.color] += c.count;
  std::vector<ColorCount> histogram;
  for (const auto& [color, count] : sums) histogram.push_back({color, count});
  return histogram;
}

inline std::vector<ColorCount> HistogramOfPixels(const std::vector<ColorValue>& pixels) {
  std::map<ColorValue, std::uint32_t> sums;
  for (ColorValue c : pixels) ++sums[c];
  std::vector<ColorCount> histogram;
  for (const auto& [color, count] : sums) histogram.push_back({color, count});
  return histogram;
}

// A photo-like picture: two crossing gradients with a little noise, about 20 000 colours.
inline std::vector<ColorValue> GradientPixels(int width = 256, int height = 160,
                                              unsigned seed = 7) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-6, 6);
  std::vector<ColorValue> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int r = std::clamp(x * 255 / width + noise(random), 0, 255);
      const int g = std::clamp(y * 255 / height + noise(random), 0, 255);
      const int b = std::clamp(255 - (x + y) * 255 / (width + height) + noise(random), 0, 255);
      pixels.push_back(MakeColor(r, g, b));
    }
  return pixels;
}

}  // namespace tavlo::testing
