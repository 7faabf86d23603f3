#pragma once
// The Windows bitmap the preview is exported as: the smallest lossless standard form, 8 bits a
// pixel with a colour table of exactly the colours used when there are at most 256 of them
// (always so for a preview), else 24 bits a pixel.
#include <QByteArray>
#include <QImage>

namespace tavlo {

QByteArray EncodeBmp(const QImage& image);

}  // namespace tavlo
