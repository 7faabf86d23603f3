#pragma once
// The sRGB transfer curve, shared by the colour spaces built on linear light.
namespace tavlo::srgb {

// Linear light 0..1 of an sRGB channel 0..255 (a table look-up).
double LinearFromChannel(int channel);

// The sRGB channel 0..255 of linear light, rounded to the nearest whole number (halves away
// from zero) and clamped, so values outside 0..1 give 0 or 255.
int ChannelFromLinear(double linear);

}  // namespace tavlo::srgb
