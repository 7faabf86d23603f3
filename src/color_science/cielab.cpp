#include "color_science/cielab.h"

#include <cmath>

#include "color_science/srgb.h"

namespace tavlo {
namespace {

// Linear sRGB to XYZ, derived from the sRGB primaries and the D65 white point; each row's sum is
// the white's X, Y and Z.
constexpr double kToXyz[3][3] = {
    {0.41239079926595948, 0.35758433938387796, 0.18048078840183429},
    {0.21263900587151036, 0.71516867876775593, 0.07219231536073371},
    {0.01933081871559185, 0.11919477979462599, 0.95053215224966058},
};
constexpr double kWhite[3] = {
    kToXyz[0][0] + kToXyz[0][1] + kToXyz[0][2],
    kToXyz[1][0] + kToXyz[1][1] + kToXyz[1][2],
    kToXyz[2][0] + kToXyz[2][1] + kToXyz[2][2],
};

// The CIELAB compression: a cube root, and a straight line near black where it would be steep.
double Compress(double ratio) {
  constexpr double kDelta = 6.0 / 29.0;
  return ratio > kDelta * kDelta * kDelta ? std::cbrt(ratio)
                                          : ratio / (3 * kDelta * kDelta) + 4.0 / 29.0;
}

}  // namespace

Xyz XyzFromColor(ColorValue color) {
  const double linear[3] = {srgb::LinearFromChannel(RedOf(color)),
                            srgb::LinearFromChannel(GreenOf(color)),
                            srgb::LinearFromChannel(BlueOf(color))};
  double xyz[3];
  for (int row = 0; row < 3; ++row)
    xyz[row] = kToXyz[row][0] * linear[0] + kToXyz[row][1] * linear[1] + kToXyz[row][2] * linear[2];
  return Xyz{xyz[0], xyz[1], xyz[2]};
}

Lab LabFromXyz(const Xyz& xyz) {
  const double f[3] = {Compress(xyz.X / kWhite[0]), Compress(xyz.Y / kWhite[1]),
                       Compress(xyz.Z / kWhite[2])};
  return Lab{116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

Lab LabFromColor(ColorValue color) {
  return LabFromXyz(XyzFromColor(color));
}

}  // namespace tavlo
