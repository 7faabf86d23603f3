#include "colorlib/nearest_brute_force.h"

#include <cstddef>
#include <cstring>

namespace tavlo::colorlib {

int NearestIndexBruteForce(int r, int g, int b, const int32_t* palette, int count) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (int i = 0; i < count; ++i) {
    const auto c = static_cast<uint32_t>(palette[i]);
    const int dr = r - static_cast<int>(c & 0xFF);
    const int dg = g - static_cast<int>((c >> 8) & 0xFF);
    const int db = b - static_cast<int>((c >> 16) & 0xFF);
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

void PreviewBruteForce(uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                       const int32_t* palette, int32_t count) {
  if (!pixels || !palette || count < 1 || count > 256 || width <= 0 || height <= 0) return;
  // Palette colours as ready-made 0xFFRRGGBB pixels.
  uint32_t asPixel[256];
  for (int i = 0; i < count; ++i) {
    const auto c = static_cast<uint32_t>(palette[i]);
    asPixel[i] = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  auto* row = reinterpret_cast<unsigned char*>(pixels);
  for (int32_t y = 0; y < height; ++y, row += stride) {
    // Rows may start at any byte (odd strides): pixels are copied, never read through a
    // misaligned pointer.
    for (int32_t x = 0; x < width; ++x) {
      uint32_t p;
      std::memcpy(&p, row + 4 * x, 4);
      const int index = NearestIndexBruteForce(static_cast<int>((p >> 16) & 0xFF),
                                               static_cast<int>((p >> 8) & 0xFF),
                                               static_cast<int>(p & 0xFF), palette, count);
      std::memcpy(row + 4 * x, asPixel + index, 4);
    }
  }
}

}  // namespace tavlo::colorlib
