#include "picture/lens_image.h"

namespace tavlo {

int RoundHalfEven(int numerator, int denominator) {
  const int quotient = numerator / denominator;
  const int twiceRemainder = 2 * (numerator % denominator);
  if (twiceRemainder > denominator) return quotient + 1;
  if (twiceRemainder < denominator) return quotient;
  return quotient % 2 == 0 ? quotient : quotient + 1;
}

int LensHalfSide(int zoom) {
  return RoundHalfEven(zoom, 2);
}

int MarkerHalfSize(int zoom) {
  return RoundHalfEven(kLensSide, 2 * zoom);
}

ColorValue PixelAt(const QImage& picture, QPoint at) {
  if (at.x() < 0 || at.y() < 0 || at.x() >= picture.width() || at.y() >= picture.height())
    return -1;
  // pixel() reads in place from any format; no copy of the picture is made.
  return FromRgbPixel(picture.pixel(at));
}

QImage DrawLens(const QImage& picture, QPoint at, int zoom) {
  QImage lens(kLensSide, kLensSide, QImage::Format_RGB32);
  if (zoom <= 0) {
    lens.fill(kLensOutside);
    return lens;
  }
  const int half = LensHalfSide(zoom);
  const int left = at.x() - half;
  const int top = at.y() - half;
  const bool direct =
      picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
  // Lens pixel i shows square pixel i * zoom / kLensSide.
  int sourceColumn[kLensSide];
  for (int i = 0; i < kLensSide; ++i) sourceColumn[i] = left + i * zoom / kLensSide;
  for (int y = 0; y < kLensSide; ++y) {
    auto* out = reinterpret_cast<QRgb*>(lens.scanLine(y));
    const int sy = top + y * zoom / kLensSide;
    if (sy < 0 || sy >= picture.height()) {
      for (int x = 0; x < kLensSide; ++x) out[x] = kLensOutside;
      continue;
    }
    const auto* row = direct ? reinterpret_cast<const QRgb*>(picture.constScanLine(sy)) : nullptr;
    for (int x = 0; x < kLensSide; ++x) {
      const int sx = sourceColumn[x];
      if (sx < 0 || sx >= picture.width())
        out[x] = kLensOutside;
      else
        out[x] = 0xFF000000u | (row ? row[sx] : picture.pixel(sx, sy));
    }
  }
  const int m = MarkerHalfSize(zoom);
  const int low = std::max(0, kLensSide / 2 - m);
  const int high = std::min(kLensSide - 1, kLensSide / 2 + m);
  for (int i = low; i <= high; ++i) {
    reinterpret_cast<QRgb*>(lens.scanLine(low))[i] = kLensMarker;
    reinterpret_cast<QRgb*>(lens.scanLine(high))[i] = kLensMarker;
    reinterpret_cast<QRgb*>(lens.scanLine(i))[low] = kLensMarker;
    reinterpret_cast<QRgb*>(lens.scanLine(i))[high] = kLensMarker;
  }
  return lens;
}

}  // namespace tavlo
