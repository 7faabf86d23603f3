#include "color_science/srgb.h"

#include <array>
#include <cmath>

namespace tavlo::srgb {
namespace {

double Decode(double encoded) {
  return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double Encode(double linear) {
  return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

const std::array<double, 256>& LinearTable() {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> values{};
    for (int i = 0; i < 256; ++i) values[static_cast<size_t>(i)] = Decode(i / 255.0);
    return values;
  }();
  return table;
}

}  // namespace

double LinearFromChannel(int channel) {
  return LinearTable()[static_cast<size_t>(channel & 0xFF)];
}

int ChannelFromLinear(double linear) {
  if (!(linear > 0)) return 0;  // also NaN
  if (linear >= 1) return 255;
  return static_cast<int>(std::lround(255 * Encode(linear)));
}

}  // namespace tavlo::srgb
