#pragma once
// Reading the picture under the pointer and drawing the zoom lens: pure functions on the picture,
// cheap enough for every pointer move (one pixel read, one 100 x 100 image drawn; the picture
// itself is never copied or converted).
#include <QImage>
#include <QPoint>

#include "base/color_value.h"

namespace tavlo {

inline constexpr int kLensSide = 100;
// The lens's fill where the enlarged square reaches past the picture's edges: a neutral grey.
inline constexpr QRgb kLensOutside = 0xFF808080u;
// The marker around the pixel under the pointer: pure red.
inline constexpr QRgb kLensMarker = 0xFFFF0000u;

// The whole number nearest to numerator / denominator (both positive), a half going to the even
// neighbour: 5/2 -> 2, 9/2 -> 4, 17/2 -> 8, 100/5/2 = 10.
int RoundHalfEven(int numerator, int denominator);

// Half the side of the enlarged square, and half the side of the marker on a lens of
// kLensSide pixels, for a zoom factor (the square's side): 5 -> 2 and 10, 9 -> 4 and 6,
// 17 -> 8 and 3.
int LensHalfSide(int zoom);
int MarkerHalfSize(int zoom);

// The colour value of picture pixel `at`, or -1 when the point lies outside the picture.
ColorValue PixelAt(const QImage& picture, QPoint at);

// The lens for the pointer on pixel `at`: the zoom x zoom square whose top-left pixel is
// at - (h, h) stretched over kLensSide x kLensSide pixels by repeating pixels (each lens pixel
// takes the picture pixel it falls on), kLensOutside beyond the picture, and the red outline
// through (50 - m, 50 - m) and (50 + m, 50 + m).
QImage DrawLens(const QImage& picture, QPoint at, int zoom);

}  // namespace tavlo
