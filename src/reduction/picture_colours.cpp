#include "reduction/picture_colours.h"

#include <algorithm>
#include <cstring>

#include "colour/colour_histogram.h"

namespace tavlo {

size_t PictureColours::Bytes() const {
  return firstPixel.capacity() * sizeof(std::uint32_t) + colour.capacity() * sizeof(ColorValue) +
         counts.capacity() * sizeof(std::uint32_t) + lab.capacity() * sizeof(LabFloat);
}

PictureColours AnalysePicture(const std::uint32_t* first, int width, int height,
                              std::ptrdiff_t stride, int threads) {
  PictureColours colours;
  const ColourHistogram histogram = CountColours(first, width, height, stride, threads);
  const auto& counted = histogram.colours;
  if (counted.empty()) return colours;
  colours.pictureSize = histogram.pixels;

  // The first pixel of each colour: one bit a colour of the cube (2 MiB) says whether it was seen;
  // only a colour's first pixel looks its place in the histogram up.
  std::vector<std::uint64_t> seen((size_t{1} << 24) / 64, 0);
  std::vector<std::uint32_t> firstOf(counted.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(first);
  std::uint32_t position = 0;
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = bytes + stride * y;
    for (int x = 0; x < width; ++x, ++position) {
      std::uint32_t pixel;
      std::memcpy(&pixel, row + 4 * std::ptrdiff_t(x), 4);
      const ColorValue value = FromRgbPixel(pixel);
      std::uint64_t& word = seen[static_cast<size_t>(value) / 64];
      const std::uint64_t bit = std::uint64_t{1} << (value % 64);
      if (word & bit) continue;
      word |= bit;
      const auto at =
          std::lower_bound(counted.begin(), counted.end(), value,
                           [](const ColourCount& c, ColorValue v) { return c.colour < v; });
      firstOf[static_cast<size_t>(at - counted.begin())] = position;
    }
  }

  // Colours in the order of their first pixels.
  std::vector<std::uint64_t> order(counted.size());  // first pixel << 32 | histogram position
  for (size_t i = 0; i < counted.size(); ++i) order[i] = std::uint64_t{firstOf[i]} << 32 | i;
  std::sort(order.begin(), order.end());
  colours.firstPixel.resize(counted.size());
  colours.colour.resize(counted.size());
  colours.counts.resize(counted.size());
  colours.lab.resize(counted.size());
  for (size_t i = 0; i < counted.size(); ++i) {
    const ColourCount& c = counted[static_cast<std::uint32_t>(order[i])];
    colours.firstPixel[i] = static_cast<std::uint32_t>(order[i] >> 32);
    colours.colour[i] = c.colour;
    colours.counts[i] = c.count;
    const Lab lab = LabFromColor(c.colour);
    colours.lab[i] =
        LabFloat{static_cast<float>(lab.L), static_cast<float>(lab.a), static_cast<float>(lab.b)};
  }
  return colours;
}

}  // namespace tavlo
