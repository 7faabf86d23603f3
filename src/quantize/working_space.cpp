#include "quantize/working_space.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace tavlo::quantize {
namespace {

int SpaceKind() {
  static const int kind = std::getenv("TQ_SPACE") ? std::atoi(std::getenv("TQ_SPACE")) : 2;
  return kind;
}

double Linear(double channel) {
  const double v = std::clamp(channel, 0.0, 255.0) / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Compress(double ratio) {
  constexpr double kDelta = 6.0 / 29.0;
  return ratio > kDelta * kDelta * kDelta ? std::cbrt(ratio)
                                          : ratio / (3 * kDelta * kDelta) + 4.0 / 29.0;
}

std::array<double, 3> LabOf(double r, double g, double b) {
  constexpr double m[3][3] = {
      {0.41239079926595948, 0.35758433938387796, 0.18048078840183429},
      {0.21263900587151036, 0.71516867876775593, 0.07219231536073371},
      {0.01933081871559185, 0.11919477979462599, 0.95053215224966058},
  };
  const double lin[3] = {Linear(r), Linear(g), Linear(b)};
  double f[3];
  for (int row = 0; row < 3; ++row) {
    const double white = m[row][0] + m[row][1] + m[row][2];
    f[row] = Compress((m[row][0] * lin[0] + m[row][1] * lin[1] + m[row][2] * lin[2]) / white);
  }
  return {116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

std::array<double, 3> OklabOf(double r, double g, double b) {
  const double lr = Linear(r), lg = Linear(g), lb = Linear(b);
  const double l = std::cbrt(0.4122214708 * lr + 0.5363325363 * lg + 0.0514459929 * lb);
  const double m = std::cbrt(0.2119034982 * lr + 0.6806995451 * lg + 0.1073969566 * lb);
  const double s = std::cbrt(0.0883024619 * lr + 0.2817188376 * lg + 0.6299787005 * lb);
  return {100 * (0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s),
          100 * (1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s),
          100 * (0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s)};
}

// Lightness rescaled by CIEDE2000's S_L: the integral of 1 / S_L from 0, from a table.
double ScaledLightness(double L) {
  static const std::array<double, 1002> table = [] {
    std::array<double, 1002> t{};
    double sum = 0;
    for (int i = 1; i < 1002; ++i) {
      const double mid = (i - 0.5) / 10.0 - 50;
      sum += 0.1 / (1 + 0.015 * mid * mid / std::sqrt(20 + mid * mid));
      t[i] = sum;
    }
    return t;
  }();
  const double x = std::clamp(L, 0.0, 100.0) * 10;
  const int i = std::min(static_cast<int>(x), 999);
  return table[i] + (table[i + 1] - table[i]) * (x - i);
}

std::array<double, 3> DifferenceSpaceOf(double r, double g, double b) {
  const auto [L, a, bb] = LabOf(r, g, b);
  const double c = std::hypot(a, bb);
  const double c7 = std::pow(c, 7);
  const double stretch = 1.5 - 0.5 * std::sqrt(c7 / (c7 + 6103515625.0));
  const double a1 = stretch * a;
  const double c1 = std::hypot(a1, bb);
  // Chroma rescaled by S_C = 1 + 0.045 C: its integral, log(1 + 0.045 C) / 0.045. The hue
  // direction at that radius comes out within about 10 % of what S_H gives it.
  const double radius = std::log1p(0.045 * c1) / 0.045;
  const double scale = c1 > 0 ? radius / c1 : 1;
  return {ScaledLightness(L), a1 * scale, bb * scale};
}

std::array<double, 3> Forward(double r, double g, double b) {
  switch (SpaceKind()) {
    case 0:
      return OklabOf(r, g, b);
    case 1:
      return LabOf(r, g, b);
    default:
      return DifferenceSpaceOf(r, g, b);
  }
}

double Distance2(const std::array<double, 3>& p, const Point& q) {
  const double dL = p[0] - q.L, da = p[1] - q.a, db = p[2] - q.b;
  return dL * dL + da * da + db * db;
}

// Solves 3 x 3 J x = y by Cramer's rule; false when J is singular.
bool Solve(const double j[3][3], const double y[3], double x[3]) {
  const double det = j[0][0] * (j[1][1] * j[2][2] - j[1][2] * j[2][1]) -
                     j[0][1] * (j[1][0] * j[2][2] - j[1][2] * j[2][0]) +
                     j[0][2] * (j[1][0] * j[2][1] - j[1][1] * j[2][0]);
  if (std::abs(det) < 1e-12) return false;
  for (int col = 0; col < 3; ++col) {
    double m[3][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) m[r][c] = c == col ? y[r] : j[r][c];
    x[col] = (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
              m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
              m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0])) /
             det;
  }
  return true;
}

}  // namespace

Point PointOfChannels(double red, double green, double blue) {
  const auto p = Forward(red, green, blue);
  return Point{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
}

Point WorkingPointOf(ColorValue colour) {
  return PointOfChannels(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

ColorValue ColorOfPoint(const Point& point) {
  // Newton's method on the three channels, from mid-grey, kept inside the cube.
  double rgb[3] = {127.5, 127.5, 127.5};
  for (int step = 0; step < 12; ++step) {
    const auto f = Forward(rgb[0], rgb[1], rgb[2]);
    const double y[3] = {point.L - f[0], point.a - f[1], point.b - f[2]};
    if (y[0] * y[0] + y[1] * y[1] + y[2] * y[2] < 1e-6) break;
    double j[3][3];
    for (int c = 0; c < 3; ++c) {
      double probe[3] = {rgb[0], rgb[1], rgb[2]};
      const double h = probe[c] > 127 ? -0.25 : 0.25;
      probe[c] += h;
      const auto g = Forward(probe[0], probe[1], probe[2]);
      for (int r = 0; r < 3; ++r) j[r][c] = (g[r] - f[r]) / h;
    }
    double dx[3];
    if (!Solve(j, y, dx)) break;
    for (int c = 0; c < 3; ++c) rgb[c] = std::clamp(rgb[c] + std::clamp(dx[c], -64.0, 64.0), 0.0, 255.0);
  }
  // The best whole colour of the eight around the solution.
  ColorValue best = 0;
  double bestDistance = -1;
  for (int corner = 0; corner < 8; ++corner) {
    int c[3];
    for (int k = 0; k < 3; ++k)
      c[k] = std::clamp(static_cast<int>(std::floor(rgb[k])) + ((corner >> k) & 1), 0, 255);
    const double d = Distance2(Forward(c[0], c[1], c[2]), point);
    if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = MakeColor(c[0], c[1], c[2]);
  }
  return best;
}

}  // namespace tavlo::quantize
