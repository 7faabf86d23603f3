#include "quantize/working_space.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tavlo::quantize {
namespace {

// sRGB channel 0..255, not necessarily whole, to linear light.
double Linear(double channel) {
  const double v = std::clamp(channel, 0.0, 255.0) / 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Compress(double ratio) {
  constexpr double kDelta = 6.0 / 29.0;
  return ratio > kDelta * kDelta * kDelta ? std::cbrt(ratio)
                                          : ratio / (3 * kDelta * kDelta) + 4.0 / 29.0;
}

// CIELAB of channels that need not be whole numbers (LabFromColor takes whole ones), with the
// same primaries and white.
Lab LabOfChannels(double red, double green, double blue) {
  constexpr double m[3][3] = {
      {0.41239079926595948, 0.35758433938387796, 0.18048078840183429},
      {0.21263900587151036, 0.71516867876775593, 0.07219231536073371},
      {0.01933081871559185, 0.11919477979462599, 0.95053215224966058},
  };
  const double lin[3] = {Linear(red), Linear(green), Linear(blue)};
  double f[3];
  for (int row = 0; row < 3; ++row) {
    const double white = m[row][0] + m[row][1] + m[row][2];
    f[row] = Compress((m[row][0] * lin[0] + m[row][1] * lin[1] + m[row][2] * lin[2]) / white);
  }
  return Lab{116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
}

// The integral of 1 / S_L from lightness 0, from a table of tenths.
double ScaledLightness(double L) {
  static const std::array<double, 1002> table = [] {
    std::array<double, 1002> t{};
    double sum = 0;
    for (std::size_t i = 1; i < t.size(); ++i) {
      const double offset = (static_cast<double>(i) - 0.5) / 10.0 - 50;
      sum += 0.1 / (1 + 0.015 * offset * offset / std::sqrt(20 + offset * offset));
      t[i] = sum;
    }
    return t;
  }();
  const double x = std::clamp(L, 0.0, 100.0) * 10;
  const std::size_t i = std::min(static_cast<std::size_t>(x), std::size_t{999});
  return table[i] + (table[i + 1] - table[i]) * (x - static_cast<double>(i));
}

double Distance2(const Point& p, const Point& q) {
  const double dL = p.L - q.L, da = p.a - q.a, db = p.b - q.b;
  return dL * dL + da * da + db * db;
}

Point PointOfChannels(double red, double green, double blue) {
  return PointOfLab(LabOfChannels(red, green, blue));
}

// Solves the 3 x 3 system j x = y by Cramer's rule; false when j is singular.
bool Solve(const double j[3][3], const double y[3], double x[3]) {
  auto det = [](const double m[3][3]) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  };
  const double d = det(j);
  if (std::abs(d) < 1e-12) return false;
  for (int col = 0; col < 3; ++col) {
    double m[3][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) m[r][c] = c == col ? y[r] : j[r][c];
    x[col] = det(m) / d;
  }
  return true;
}

}  // namespace

Point PointOfLab(const Lab& lab) {
  const double c = std::hypot(lab.a, lab.b);
  const double c7 = std::pow(c, 7);
  const double stretch = 1.5 - 0.5 * std::sqrt(c7 / (c7 + 6103515625.0));  // 1 + G, 25^7
  const double a = stretch * lab.a;
  const double chroma = std::hypot(a, lab.b);
  const double scale = chroma > 0 ? std::log1p(0.045 * chroma) / 0.045 / chroma : 1;
  return Point{static_cast<float>(ScaledLightness(lab.L)), static_cast<float>(a * scale),
               static_cast<float>(lab.b * scale)};
}

Point WorkingPointOf(ColorValue color) {
  return PointOfLab(LabFromColor(color));
}

ColorValue ColorOfPoint(const Point& point) {
  double rgb[3] = {127.5, 127.5, 127.5};
  for (int step = 0; step < 12; ++step) {
    const Point f = PointOfChannels(rgb[0], rgb[1], rgb[2]);
    const double y[3] = {point.L - f.L, point.a - f.a, point.b - f.b};
    if (y[0] * y[0] + y[1] * y[1] + y[2] * y[2] < 1e-6) break;
    double j[3][3];
    for (int c = 0; c < 3; ++c) {
      double probe[3] = {rgb[0], rgb[1], rgb[2]};
      const double h = probe[c] > 127 ? -0.25 : 0.25;
      probe[c] += h;
      const Point g = PointOfChannels(probe[0], probe[1], probe[2]);
      j[0][c] = (g.L - f.L) / h, j[1][c] = (g.a - f.a) / h, j[2][c] = (g.b - f.b) / h;
    }
    double dx[3];
    if (!Solve(j, y, dx)) break;
    for (int c = 0; c < 3; ++c)
      rgb[c] = std::clamp(rgb[c] + std::clamp(dx[c], -64.0, 64.0), 0.0, 255.0);
  }
  ColorValue best = 0;
  double bestDistance = -1;
  for (int corner = 0; corner < 8; ++corner) {
    int c[3];
    for (int k = 0; k < 3; ++k)
      c[k] = std::clamp(static_cast<int>(std::floor(rgb[k])) + ((corner >> k) & 1), 0, 255);
    const ColorValue color = MakeColor(c[0], c[1], c[2]);
    const double d = Distance2(WorkingPointOf(color), point);
    if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = color;
  }
  return best;
}

ColorValue WeightedMean(ColorValue x, std::uint64_t wx, ColorValue y, std::uint64_t wy) {
  if (x == y) return x;
  const double total = static_cast<double>(wx + wy);
  const double fx = total > 0 ? static_cast<double>(wx) / total : 0.5, fy = 1 - fx;
  const Point px = WorkingPointOf(x), py = WorkingPointOf(y);
  return ColorOfPoint({static_cast<float>(fx * px.L + fy * py.L),
                       static_cast<float>(fx * px.a + fy * py.a),
                       static_cast<float>(fx * px.b + fy * py.b)});
}

}  // namespace tavlo::quantize
