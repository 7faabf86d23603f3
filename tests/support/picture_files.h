#pragma once
// Small picture files built byte by byte for the picture tests: formats Qt cannot write (GIF,
// run-length encoded BMP) and Windows metafiles.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <ostream>
#include <vector>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace tavlo::testing {

// A GIF89a with a 256-entry global table holding `table` (the rest black) and one frame per
// image of `frames`, each a width x height array of table indices, row by row.
QByteArray MakeGif(int width, int height, const std::vector<QRgb>& table,
                   const std::vector<std::vector<quint8>>& frames);

// An 8-bit run-length encoded BMP (BI_RLE8): every row is `rows[y]` as runs of
// (count, table index), stored bottom-up as the format wants.
QByteArray MakeRle8Bmp(int width, const std::vector<QRgb>& table,
                       const std::vector<std::vector<std::pair<int, int>>>& rows);

// A placeable WMF of width x height pixels (at 96 units to the inch) filled with `background`
// and with the rectangle `box` (left, top, right, bottom) filled with `foreground`; then `text`,
// when given, in Arial half the picture's height, in black from the top-left corner.
QByteArray MakeWmf(int width, int height, QRgb background, QRect box, QRgb foreground,
                   int unitsPerInch = 96, const QByteArray& text = {});

// An EMF of width x height pixels (frame at 96 dpi) drawn the same way.
QByteArray MakeEmf(int width, int height, QRgb background, QRect box, QRgb foreground);

}  // namespace tavlo::testing
