#pragma once
// Synthetic pictures for the tests: random colours, beside a gradient where a test wants flat
// parts too, as photos and drawings have both. The same generator state gives the same picture.
#include <QImage>
#include <functional>
#include <random>

namespace tavlo::testing {

// A picture whose columns left of `gradientColumns` are `gradient(x, y)` and whose other pixels
// are random opaque colours, drawn from `random` row by row.
inline QImage GradientAndNoise(int width, int height, int gradientColumns,
                               const std::function<QRgb(int x, int y)>& gradient,
                               std::mt19937& random) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y,
                     x < gradientColumns ? gradient(x, y) : 0xFF000000u | (random() & 0xFFFFFF));
  return image;
}

inline QImage GradientAndNoise(int width, int height, int gradientColumns,
                               const std::function<QRgb(int x, int y)>& gradient, unsigned seed) {
  std::mt19937 random(seed);
  return GradientAndNoise(width, height, gradientColumns, gradient, random);
}

// Random opaque colours only.
inline QImage NoisePicture(int width, int height, std::mt19937& random) {
  return GradientAndNoise(width, height, 0, {}, random);
}

inline QImage NoisePicture(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  return NoisePicture(width, height, random);
}

}  // namespace tavlo::testing
