#include "support/blurred_loss.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "color_science/ciede2000.h"
#include "color_science/srgb.h"

namespace tavlo::testing {
namespace {

using Plane = std::vector<std::array<double, 3>>;

constexpr int kRadius = 3;

std::array<double, 2 * kRadius + 1> Kernel() {
  std::array<double, 2 * kRadius + 1> k{};
  double sum = 0;
  for (int i = -kRadius; i <= kRadius; ++i) sum += k[size_t(i + kRadius)] = std::exp(-0.5 * i * i);
  for (double& w : k) w /= sum;
  return k;
}

Plane Linear(const std::vector<ColorValue>& colors) {
  Plane plane(colors.size());
  for (size_t i = 0; i < colors.size(); ++i)
    plane[i] = {srgb::LinearFromChannel(RedOf(colors[i])),
                srgb::LinearFromChannel(GreenOf(colors[i])),
                srgb::LinearFromChannel(BlueOf(colors[i]))};
  return plane;
}

// One pass of the separable blur: along rows or along columns.
Plane Blur(const Plane& in, int width, int height, bool alongRows) {
  static const auto kernel = Kernel();
  Plane out(in.size());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::array<double, 3> sum{};
      for (int i = -kRadius; i <= kRadius; ++i) {
        const int sx = alongRows ? std::clamp(x + i, 0, width - 1) : x;
        const int sy = alongRows ? y : std::clamp(y + i, 0, height - 1);
        const auto& v = in[size_t(sy) * size_t(width) + size_t(sx)];
        for (int c = 0; c < 3; ++c) sum[size_t(c)] += kernel[size_t(i + kRadius)] * v[size_t(c)];
      }
      out[size_t(y) * size_t(width) + size_t(x)] = sum;
    }
  return out;
}

// CIELAB of linear sRGB, D65.
Lab LabOfLinear(const std::array<double, 3>& rgb) {
  constexpr double m[3][3] = {{0.4124564, 0.3575761, 0.1804375},
                              {0.2126729, 0.7151522, 0.0721750},
                              {0.0193339, 0.1191920, 0.9503041}};
  constexpr double white[3] = {0.95047, 1.0, 1.08883};
  double f[3];
  for (int r = 0; r < 3; ++r) {
    const double t = (m[r][0] * rgb[0] + m[r][1] * rgb[1] + m[r][2] * rgb[2]) / white[r];
    f[r] = t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
  }
  return {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

}  // namespace

double BlurredLoss(const std::vector<ColorValue>& original, const std::vector<ColorValue>& written,
                   int width, int height) {
  const Plane a = Blur(Blur(Linear(original), width, height, true), width, height, false);
  const Plane b = Blur(Blur(Linear(written), width, height, true), width, height, false);
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += Ciede2000(LabOfLinear(a[i]), LabOfLinear(b[i]));
  return sum / double(a.size());
}

}  // namespace tavlo::testing
