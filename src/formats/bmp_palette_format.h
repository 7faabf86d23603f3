#pragma once
// The colour table of an indexed BMP picture (1, 2, 4 or 8 bits per pixel). Numbers little-endian.
//
//   offset 0    "BM", 32-bit file size, 4 reserved bytes, 32-bit offset of the pixels
//   offset 14   32-bit header size H, then the rest of the header:
//     H = 12 (the old core header):  16-bit width, height, planes, bits per pixel;
//                                    table of 2^bits records of blue, green, red
//     H = 16..124 (the info headers):  32-bit width, height, 16-bit planes, bits per pixel,
//                                    and from H >= 36 on a 32-bit count of colours used at
//                                    offset 46 (0 = all 2^bits); table records of blue, green,
//                                    red and a reserved byte
//   offset 14 + H   the colour table
//
// Only the header and the table are read, never the pixels. A picture of more bits per pixel has
// no colour table to take and is refused, as is a file that ends inside its table.
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

// The most bytes the reader ever looks at: the largest header and a table of 256 records.
inline constexpr qsizetype kBmpBytesRead = 14 + 124 + 4 * 256;

// True when the bytes start like a BMP picture: "BM" and a known header size.
bool LooksLikeBmp(QByteArrayView bytes);

PaletteRead ReadBmpPalette(QByteArrayView bytes);

}  // namespace tavlo
