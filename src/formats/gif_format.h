#pragma once
// The global colour table of a GIF image. Only the start of the file is looked at:
//
//   offset 0    6 bytes   signature, exactly "GIF87a" or "GIF89a" (case matters)
//   offset 6    2 bytes   logical screen width   (not used)
//   offset 8    2 bytes   logical screen height  (not used)
//   offset 10   1 byte    packed fields: bit 7 = global colour table present,
//                                        bits 0-2 = size exponent s
//   offset 11   1 byte    background colour index (not used)
//   offset 12   1 byte    pixel aspect ratio      (not used)
//   offset 13   3 * 2^(s+1) bytes  the global colour table, records of red, green, blue
//
// Image data, extensions and local colour tables are never read. The reader never warns: a file
// with another signature, without a global table, or that ends before the end of its table gives
// no colours at all.
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

// The most bytes the reader ever looks at: header, screen descriptor and a table of 256 colours.
inline constexpr qsizetype kGifBytesRead = 13 + 3 * 256;

PaletteRead ReadGif(QByteArrayView bytes);

}  // namespace tavlo
