#include "reduction/picture_colours.h"

#include "colour/cielab.h"

namespace tavlo {

size_t PictureColours::Bytes() const {
  return histogram.colours.capacity() * sizeof(ColourCount) +
         pixels.capacity() * sizeof(std::uint32_t) + lab.capacity() * sizeof(LabFloat);
}

PictureColours AnalysePicture(const std::uint32_t* first, int width, int height,
                              std::ptrdiff_t stride, int threads) {
  PictureColours colours;
  colours.histogram = CountColours(first, width, height, stride, threads);
  const auto& counted = colours.histogram.colours;
  if (counted.empty()) return colours;
  const size_t rows =
      (counted.size() + PictureColours::kRowLength - 1) / PictureColours::kRowLength;
  colours.pixels.assign(rows * PictureColours::kRowLength, ToRgbPixel(counted.back().colour));
  colours.lab.resize(counted.size());
  for (size_t i = 0; i < counted.size(); ++i) {
    colours.pixels[i] = ToRgbPixel(counted[i].colour);
    const Lab lab = LabFromColor(counted[i].colour);
    colours.lab[i] =
        LabFloat{static_cast<float>(lab.L), static_cast<float>(lab.a), static_cast<float>(lab.b)};
  }
  return colours;
}

}  // namespace tavlo
