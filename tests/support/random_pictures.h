#pragma once
// Synthetic pictures for the tests: random colours, beside a gradient where a test wants flat
// parts too, as photos and drawings have both. The same generator state gives the same picture.
#include <QImage>
#include <cmath>
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

// A logo on a transparent background: a disc of random colours whose edge fades from opaque to
// clear over a few pixels (every alpha from 0 to 255 occurs), on pixels of alpha 0 whose colours
// are random too, as editors leave them. 32-bit ARGB, not premultiplied.
inline QImage SoftEdgedLogo(int side, std::mt19937& random) {
  QImage image(side, side, QImage::Format_ARGB32);
  const double centre = (side - 1) / 2.0, radius = side * 0.35, fade = side * 0.12;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const double outside = std::hypot(x - centre, y - centre) - radius;
      const int alpha = outside <= 0 ? 255 : outside >= fade ? 0 : int(255 * (1 - outside / fade));
      image.setPixel(x, y, QRgb(alpha) << 24 | (random() & 0xFFFFFF));
    }
  return image;
}

}  // namespace tavlo::testing
