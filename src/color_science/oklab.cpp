#include "color_science/oklab.h"

#include <cmath>

#include "color_science/srgb.h"

namespace tavlo {

Oklab OklabFromColor(ColorValue color) {
  const double r = srgb::LinearFromChannel(RedOf(color));
  const double g = srgb::LinearFromChannel(GreenOf(color));
  const double b = srgb::LinearFromChannel(BlueOf(color));
  const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
  const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
  const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
  return Oklab{0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
               1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
               0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

ColorValue ColorFromOklab(const Oklab& color) {
  const double l0 = color.L + 0.3963377774 * color.a + 0.2158037573 * color.b;
  const double m0 = color.L - 0.1055613458 * color.a - 0.0638541728 * color.b;
  const double s0 = color.L - 0.0894841775 * color.a - 1.2914855480 * color.b;
  const double l = l0 * l0 * l0, m = m0 * m0 * m0, s = s0 * s0 * s0;
  return MakeColor(
      srgb::ChannelFromLinear(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
      srgb::ChannelFromLinear(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
      srgb::ChannelFromLinear(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s));
}

}  // namespace tavlo
