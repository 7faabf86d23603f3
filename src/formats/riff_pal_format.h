#pragma once
// RIFF palette files, the binary kind that also goes by the ending .pal. Numbers little-endian.
//
//   offset 0    "RIFF", 32-bit size of what follows, "PAL "
//   offset 12   chunks, each: 4-byte id, 32-bit size S, S bytes, one pad byte when S is odd
//     "data":   16-bit version (0x0300), 16-bit count N, then N records of red, green, blue
//               and a flags byte (ignored)
//
// Other chunks are skipped. A file without a data chunk, or whose data chunk is cut short,
// is refused; more than 256 colours give the first 256 and a warning.
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

// True when the bytes start like a RIFF palette.
bool LooksLikeRiffPal(QByteArrayView bytes);

PaletteRead ReadRiffPal(QByteArrayView bytes);

}  // namespace tavlo
