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
// Then the blocks up to the first image are walked for the Graphic Control Extension that goes
// with it (0x21 0xF9, a sub-block of 4 bytes: packed fields whose bit 0 flags a transparent index,
// a delay of 2 bytes, the index): an index within the table is the transparent entry. Image data
// and local colour tables are never read. The reader never warns: a file with another signature,
// without a global table, or that ends before the end of its table gives no colours at all.
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

PaletteRead ReadGif(QByteArrayView bytes);

}  // namespace tavlo
