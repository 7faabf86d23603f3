#include "support/reference_colors.h"

#include <QColor>
#include <algorithm>
#include <cmath>

namespace tavlo::testing {
namespace {

ColorValue FromQColor(const QColor& c) {
  return MakeColor(c.red(), c.green(), c.blue());
}

int Encoded(double linear) {
  const double c = std::clamp(linear, 0.0, 1.0);
  const double v = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
  return int(std::lround(v * 255));
}

double InverseF(double t) {
  constexpr double kDelta = 6.0 / 29;
  return t > kDelta ? t * t * t : 3 * kDelta * kDelta * (t - 4.0 / 29);
}

}  // namespace

ColorValue ReferenceHsb(double hueDegrees, double saturation, double brightness) {
  return FromQColor(QColor::fromHsvF(float(std::fmod(hueDegrees, 360.0) / 360), float(saturation),
                                     float(brightness)));
}

ColorValue ReferenceCmyk(double cyan, double magenta, double yellow, double black) {
  return FromQColor(QColor::fromCmykF(float(cyan), float(magenta), float(yellow), float(black)));
}

ColorValue ReferenceGrey(double level) {
  const int v = int(std::lround(std::clamp(level, 0.0, 1.0) * 255));
  return MakeColor(v, v, v);
}

ColorValue ReferenceLab(double lightness, double a, double b) {
  const double fy = (lightness + 16) / 116;
  const double x50 = 0.96422 * InverseF(fy + a / 500);
  const double y50 = InverseF(fy);
  const double z50 = 0.82521 * InverseF(fy - b / 200);
  // Bradford, D50 to D65.
  const double x = 0.9555766 * x50 - 0.0230393 * y50 + 0.0631636 * z50;
  const double y = -0.0282895 * x50 + 1.0099416 * y50 + 0.0210077 * z50;
  const double z = 0.0122982 * x50 - 0.0204830 * y50 + 1.3299098 * z50;
  return MakeColor(Encoded(3.2404542 * x - 1.5371385 * y - 0.4985314 * z),
                   Encoded(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z),
                   Encoded(0.0556434 * x - 0.2040259 * y + 1.0572252 * z));
}

}  // namespace tavlo::testing
