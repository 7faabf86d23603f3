#pragma once
// The photo's PNG, decoded fast: 8-bit colour (RGB, RGB with tRNS, or RGBA), not interlaced,
// which is what cameras, editors and converters write for photos. The picture comes out exactly
// as Qt's reader gives it: RGB32 (ARGB32 with alpha or tRNS), the same pixels, the colour space
// the file states (not applied to the pixels). Every other PNG is left to Qt's reader.
//
// Written here rather than taken from a library because the libraries at hand are slow on
// exactly these pictures: on a 1-Mpixel photo Qt's reader (libpng on zlib) takes about 45 ms,
// libspng more (its Paeth filter has no vector code), while inflating the data takes 4 ms with
// libdeflate and undoing the filters a few more; this decoder takes about a quarter of Qt's time.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace tavlo {

// Whether the bytes begin with the PNG signature.
bool LooksLikePng(const QByteArray& bytes);

struct DecodedPng {
  QImage image;           // null on failure
  QString error;          // why, then
  bool leftToQt = false;  // a PNG of another kind: Qt's reader decodes it
};

// Refuses pictures that PictureSizeAllowed refuses, before decoding any pixel, and damaged ones
// (a bad checksum of a chunk the picture needs, data cut off or corrupt) with a reason.
DecodedPng DecodePng(const QByteArray& bytes);

}  // namespace tavlo
