#pragma once
// PNG pictures decoded by libspng, which takes about half the time of Qt's reader (libpng) on a
// photo. The picture comes out as Qt's reader gives it, format and pixels alike: palette and
// low-depth grey pictures indexed with their colour table (transparency from tRNS in the table),
// 8-bit grey as Grayscale8, 16-bit grey as Grayscale16, 8-bit colour as RGB32 or ARGB32, 16-bit
// colour as RGBX64 or RGBA64, grey with alpha like colour with alpha; tRNS on grey or colour
// pictures becomes an alpha channel. No gamma or colour-space conversion, as in Qt.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace tavlo {

// Whether the bytes begin with the PNG signature.
bool LooksLikePng(const QByteArray& bytes);

struct DecodedPng {
  QImage image;           // null on failure
  QString error;          // why, then
  bool leftToQt = false;  // 16-bit colour with tRNS: Qt's reader has its own way with it
};

// Refuses pictures that PictureSizeAllowed refuses, before decoding any pixel.
DecodedPng DecodePng(const QByteArray& bytes);

}  // namespace tavlo
