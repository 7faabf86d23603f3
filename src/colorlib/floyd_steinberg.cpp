#include "colorlib/floyd_steinberg.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace tavlo::colorlib {
namespace {

// An error in 1/16 units, rounded half away from zero: (e + 8) / 16 rounded down for e >= 0, and
// for e < 0 -((-e + 8) / 16) rounded down, which is (e + 7) / 16 rounded down.
int Carried(int32_t error) {
  return (error + 8 - (error < 0)) >> 4;
}

}  // namespace

bool DitherFloydSteinberg(NearestTable& table, unsigned char* first, int32_t width, int32_t height,
                          int64_t stride) {
  // Two rows of three channels with one spare pixel at each end.
  const size_t rowLength = (static_cast<size_t>(width) + 2) * 3;
  std::vector<int32_t> errors;
  try {
    errors.assign(2 * rowLength, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  int32_t* current = errors.data();
  int32_t* below = errors.data() + rowLength;
  const PreparedPalette& palette = table.Palette();
  for (int32_t y = 0; y < height; ++y) {
    std::fill(below, below + rowLength, 0);
    unsigned char* row = first + stride * y;
    // The error passed to the right stays in registers: the next pixel waits for it.
    int32_t right[3] = {0, 0, 0};
    for (int32_t x = 0; x < width; ++x) {
      uint32_t pixel;
      std::memcpy(&pixel, row + 4 * x, 4);
      const int32_t* here = current + (x + 1) * 3;
      const int source[3] = {static_cast<int>((pixel >> 16) & 0xFF),
                             static_cast<int>((pixel >> 8) & 0xFF), static_cast<int>(pixel & 0xFF)};
      int adjusted[3];
      for (int c = 0; c < 3; ++c)
        adjusted[c] = std::clamp(source[c] + Carried(here[c] + right[c]), 0, 255);
      const int index = table.IndexOf((static_cast<uint32_t>(adjusted[0]) << 16) |
                                      (static_cast<uint32_t>(adjusted[1]) << 8) |
                                      static_cast<uint32_t>(adjusted[2]));
      const uint32_t out = palette.pixel[index];
      std::memcpy(row + 4 * x, &out, 4);
      const int32_t error[3] = {adjusted[0] - static_cast<int32_t>((out >> 16) & 0xFF),
                                adjusted[1] - static_cast<int32_t>((out >> 8) & 0xFF),
                                adjusted[2] - static_cast<int32_t>(out & 0xFF)};
      int32_t* next = below + (x + 1) * 3;
      for (int c = 0; c < 3; ++c) {
        right[c] = 7 * error[c];
        next[c - 3] += 3 * error[c];
        next[c] += 5 * error[c];
        next[c + 3] += error[c];
      }
    }
    std::swap(current, below);
  }
  return true;
}

}  // namespace tavlo::colorlib
