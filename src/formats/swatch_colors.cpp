#include "formats/swatch_colors.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>

namespace tavlo {
namespace {

double Clamped(double value, double low, double high) {
  if (std::isnan(value)) return low < 0 && high > 0 ? 0 : low;
  return std::clamp(value, low, high);
}

int Channel(double fraction) {
  return static_cast<int>(std::lround(Clamped(fraction, 0, 1) * 255));
}

// One Lab to sRGB transform for the whole run. Without a cache it may be used from several
// threads at once.
class LabTransform {
 public:
  LabTransform() {
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);  // D50 white
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    transform_ = cmsCreateTransform(lab, TYPE_Lab_DBL, srgb, TYPE_RGB_DBL,
                                    INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOCACHE);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
  }
  ~LabTransform() {
    if (transform_) cmsDeleteTransform(transform_);
  }
  LabTransform(const LabTransform&) = delete;
  LabTransform& operator=(const LabTransform&) = delete;

  ColorValue operator()(double lightness, double a, double b) const {
    const cmsCIELab lab{Clamped(lightness, 0, 100), Clamped(a, -128, 127), Clamped(b, -128, 127)};
    double rgb[3] = {0, 0, 0};
    if (transform_) cmsDoTransform(transform_, &lab, rgb, 1);
    return ColorFromFractions(rgb[0], rgb[1], rgb[2]);
  }

 private:
  cmsHTRANSFORM transform_ = nullptr;
};

}  // namespace

ColorValue ColorFromFractions(double red, double green, double blue) {
  return MakeColor(Channel(red), Channel(green), Channel(blue));
}

ColorValue ColorFromHsb(double hueDegrees, double saturation, double brightness) {
  const double s = Clamped(saturation, 0, 1);
  const double v = Clamped(brightness, 0, 1);
  double h = std::fmod(Clamped(hueDegrees, -1e9, 1e9), 360.0);
  if (h < 0) h += 360;
  const double sector = h / 60;
  const int i = std::min(static_cast<int>(sector), 5);
  const double f = sector - i;
  const double p = v * (1 - s);
  const double q = v * (1 - s * f);
  const double t = v * (1 - s * (1 - f));
  switch (i) {
    case 0:
      return ColorFromFractions(v, t, p);
    case 1:
      return ColorFromFractions(q, v, p);
    case 2:
      return ColorFromFractions(p, v, t);
    case 3:
      return ColorFromFractions(p, q, v);
    case 4:
      return ColorFromFractions(t, p, v);
    default:
      return ColorFromFractions(v, p, q);
  }
}

ColorValue ColorFromCmyk(double cyan, double magenta, double yellow, double black) {
  const double white = 1 - Clamped(black, 0, 1);
  return ColorFromFractions((1 - Clamped(cyan, 0, 1)) * white, (1 - Clamped(magenta, 0, 1)) * white,
                            (1 - Clamped(yellow, 0, 1)) * white);
}

ColorValue ColorFromLab(double lightness, double a, double b) {
  static const LabTransform transform;
  return transform(lightness, a, b);
}

ColorValue ColorFromGrey(double level) {
  const int grey = Channel(level);
  return MakeColor(grey, grey, grey);
}

}  // namespace tavlo
