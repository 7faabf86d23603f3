#pragma once
// PNG pictures. The photo's PNG is decoded fast: 8-bit colour (RGB, RGB with tRNS, or RGBA), not
// interlaced, which is what cameras, editors and converters write for photos. Every other kind
// goes to libpng (libpng_reader.h). The picture comes out as libpng reads it: RGB32 (ARGB32 with
// alpha or tRNS), the colour space the file states (not applied to the pixels).
//
// Written here rather than taken from a library because the libraries at hand are slow on
// exactly these pictures: on a 1-Mpixel photo Qt's reader (libpng on zlib) takes about 45 ms,
// libspng more (its Paeth filter has no vector code), while inflating the data takes 4 ms with
// libdeflate and undoing the filters a few more; this decoder takes about a quarter of Qt's time.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace tavlo {

struct DecodedPng {
  QImage image;   // null on failure
  QString error;  // why, then
};

// Refuses pictures that PictureSizeAllowed refuses, before decoding any pixel, and damaged ones
// (a bad checksum of a chunk the picture needs, data cut off or corrupt) with a reason.
DecodedPng DecodePng(const QByteArray& bytes);

}  // namespace tavlo
