#include "picture_view/crosshair_cursor.h"

#include <QBitmap>
#include <QImage>

namespace tavlo {

QCursor CrosshairCursor() {
  constexpr int kSide = 32;
  constexpr int kHot = 15;
  QImage shape(kSide, kSide, QImage::Format_MonoLSB);
  QImage mask(kSide, kSide, QImage::Format_MonoLSB);
  shape.fill(0);
  mask.fill(0);
  for (int t = 6; t <= 24; ++t) {
    // In a Qt cursor bitmap 1 is black, 0 white; the mask makes the pixel visible.
    const int black = t % 2;
    shape.setPixel(t, kHot, black);
    mask.setPixel(t, kHot, 1);
    shape.setPixel(kHot, t, black);
    mask.setPixel(kHot, t, 1);
  }
  return QCursor(QBitmap::fromImage(shape), QBitmap::fromImage(mask), kHot, kHot);
}

}  // namespace tavlo
