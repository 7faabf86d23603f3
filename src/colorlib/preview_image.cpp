#include "colorlib/nearest_brute_force.h"
#include "colorlib/tavlo_color.h"

extern "C" void PreViewImage(uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
                             const int32_t* palette, int32_t count) {
  tavlo::colorlib::PreviewBruteForce(pixels, width, height, stride, palette, count);
}
