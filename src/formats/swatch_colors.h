#pragma once
// Conversions of the colour models that swatch files store to the sRGB colour values of the
// palette. Inputs out of range are clamped, and a value that is not a number counts as 0, so any
// bytes of a file give a valid colour.
#include "base/color_value.h"

namespace tavlo {

// Red, green and blue as fractions 0..1.
ColorValue ColorFromFractions(double red, double green, double blue);

// Hue in degrees (0..360, wrapping), saturation and brightness 0..1.
ColorValue ColorFromHsb(double hueDegrees, double saturation, double brightness);

// Ink amounts 0..1 (1 = full ink). With no printing profile to go by, this is the plain complement
// that swatch tools use for unmanaged CMYK: red = 1 - cyan, darkened by the black ink.
ColorValue ColorFromCmyk(double cyan, double magenta, double yellow, double black);

// CIE L*a*b* relative to the D50 white of print work, L 0..100, a and b -128..127: the colour
// management library's Lab to sRGB transform (relative colorimetric; colours outside sRGB are
// clipped).
ColorValue ColorFromLab(double lightness, double a, double b);

// A grey level 0..1 (0 = black, 1 = white), taken as the sRGB value of each channel.
ColorValue ColorFromGrey(double level);

}  // namespace tavlo
