#pragma once
// The loss map: each pixel's CIEDE2000 between the picture and the file shown as a colour scale,
// and the picture's 32 x 32 blocks ranked by their mean loss, for "Next worst place".
#include <QByteArray>
#include <QRgb>
#include <span>
#include <vector>

#include "base/color_value.h"

namespace tavlo {

// The steps of the scale, in CIEDE2000: below kTintFrom the picture itself in grey at half
// contrast (to recognise the place by), up to kNoticed a light tint, up to kJustNoticeable yellow
// to orange, and above it red deepening up to kDeepest.
inline constexpr float kTintFrom = 0.5f;
inline constexpr float kNoticed = 1.0f;  // about the smallest difference noticed side by side
inline constexpr float kJustNoticeable = 2.3f;
inline constexpr float kDeepest = 10.0f;

// The map's colour of a pixel of colour `original` with loss `loss`; `onlyAboveOne` greys out
// every pixel at or below kNoticed.
QRgb LossMapColor(float loss, ColorValue original, bool onlyAboveOne = false);

struct LossBlock {
  int x = 0, y = 0;  // the block's top left pixel
  double mean = 0;   // of its pixels' loss
};

// The blocks of `size` x `size` pixels (smaller at the right and bottom edges) of a picture of
// `width` x `height` whose pixels' losses are `loss`, row by row, from the highest mean down
// (ties in reading order).
std::vector<LossBlock> BlocksByLoss(std::span<const float> loss, int width, int height,
                                    int size = 32);

// The 16-bit greyscale PNG of the losses: each pixel round(1000 x loss), at most 65535.
QByteArray LossMapPng(const std::vector<float>& loss, int width, int height);

}  // namespace tavlo
