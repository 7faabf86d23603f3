#pragma once
// The reference conversions that converted swatches are checked against, within one unit per
// channel:
//   HSB and CMYK   Qt's QColor (fromHsvF, fromCmykF: the plain complement for CMYK, no profile)
//   greyscale      the level as the sRGB value of each channel
//   Lab            the CIE formulas: L*a*b* relative to D50 to XYZ, Bradford adaptation to D65,
//                  the sRGB matrix and transfer curve of IEC 61966-2-1, clipped to 0..1
#include "base/color_value.h"

namespace tavlo::testing {

ColorValue ReferenceHsb(double hueDegrees, double saturation, double brightness);
ColorValue ReferenceCmyk(double cyan, double magenta, double yellow, double black);
ColorValue ReferenceGrey(double level);
ColorValue ReferenceLab(double lightness, double a, double b);

}  // namespace tavlo::testing
