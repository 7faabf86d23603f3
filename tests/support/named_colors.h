#pragma once
// Colour values that tests name again and again.
#include "base/color_value.h"

namespace tavlo::testing {

inline constexpr ColorValue kBlack = 0x00000000;
inline constexpr ColorValue kRed = 0x000000FF;
inline constexpr ColorValue kGreen = 0x0000FF00;
inline constexpr ColorValue kBlue = 0x00FF0000;
inline constexpr ColorValue kWhite = 0x00FFFFFF;

}  // namespace tavlo::testing
