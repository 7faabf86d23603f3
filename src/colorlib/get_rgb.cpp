#include "colorlib/tavlo_color.h"

extern "C" void GetRGB(int32_t color, int32_t* red, int32_t* green, int32_t* blue) {
  const auto bits = static_cast<uint32_t>(color);
  if (red) *red = static_cast<int32_t>(bits & 0xFF);
  if (green) *green = static_cast<int32_t>((bits >> 8) & 0xFF);
  if (blue) *blue = static_cast<int32_t>((bits >> 16) & 0xFF);
}
