#include "color_science/ciede2000.h"

#include <cmath>
#include <numbers>

namespace tavlo {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

double Seventh(double x) {
  const double x2 = x * x;
  return x2 * x2 * x2 * x;
}

// sqrt(C^7 / (C^7 + 25^7)), the weight that takes chroma out of the a axis correction and the
// rotation term for greys.
double ChromaWeight(double chroma) {
  const double c7 = Seventh(chroma);
  return std::sqrt(c7 / (c7 + 6103515625.0));
}

// Hue angle in degrees, 0..360; 0 where it is undefined.
double HueOf(double a, double b) {
  if (a == 0 && b == 0) return 0;
  const double hue = std::atan2(b, a) / kDegree;
  return hue < 0 ? hue + 360 : hue;
}

}  // namespace

double Ciede2000(const Lab& first, const Lab& second) {
  const double meanChroma = (std::hypot(first.a, first.b) + std::hypot(second.a, second.b)) / 2;
  const double g = 0.5 * (1 - ChromaWeight(meanChroma));
  const double a1 = (1 + g) * first.a, a2 = (1 + g) * second.a;
  const double c1 = std::hypot(a1, first.b), c2 = std::hypot(a2, second.b);
  const double h1 = HueOf(a1, first.b), h2 = HueOf(a2, second.b);
  const bool achromatic = c1 * c2 == 0;

  double hueStep = achromatic ? 0 : h2 - h1;
  if (hueStep > 180) hueStep -= 360;
  if (hueStep < -180) hueStep += 360;
  const double deltaL = second.L - first.L;
  const double deltaC = c2 - c1;
  const double deltaH = 2 * std::sqrt(c1 * c2) * std::sin(hueStep / 2 * kDegree);

  double meanHue = h1 + h2;
  if (!achromatic) {
    if (std::abs(h1 - h2) <= 180) {
      meanHue /= 2;
    } else {
      meanHue = (meanHue < 360 ? meanHue + 360 : meanHue - 360) / 2;
    }
  }
  const double meanL = (first.L + second.L) / 2;
  const double meanC = (c1 + c2) / 2;
  const double t =
      1 - 0.17 * std::cos((meanHue - 30) * kDegree) + 0.24 * std::cos(2 * meanHue * kDegree) +
      0.32 * std::cos((3 * meanHue + 6) * kDegree) - 0.20 * std::cos((4 * meanHue - 63) * kDegree);
  const double lightOffset = (meanL - 50) * (meanL - 50);
  const double scaleL = 1 + 0.015 * lightOffset / std::sqrt(20 + lightOffset);
  const double scaleC = 1 + 0.045 * meanC;
  const double scaleH = 1 + 0.015 * meanC * t;
  const double hueBand = (meanHue - 275) / 25;
  const double rotation =
      -std::sin(60 * std::exp(-hueBand * hueBand) * kDegree) * 2 * ChromaWeight(meanC);

  const double l = deltaL / scaleL, c = deltaC / scaleC, h = deltaH / scaleH;
  return std::sqrt(l * l + c * c + h * h + rotation * c * h);
}

}  // namespace tavlo
