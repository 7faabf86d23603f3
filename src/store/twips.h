#pragma once
// Window positions are stored in twips, 1/1440 inch: 15 twips to a pixel at the standard
// screen resolution.

namespace tavlo {

inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsFromPixels(int pixels) {
  return pixels * kTwipsPerPixel;
}
// Rounds to the nearest pixel, so any twips value maps to the pixel it is closest to.
constexpr int PixelsFromTwips(int twips) {
  return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                    : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

}  // namespace tavlo
