#pragma once
// Swatch exchange files (ASE). All numbers are big-endian.
//
//   offset 0    "ASEF"
//   offset 4    version, two 16-bit numbers (1, 0)
//   offset 8    32-bit block count
//   offset 12   the blocks, each: 16-bit type, 32-bit length L, then L bytes
//     type 0x0001 colour:      16-bit name length n (UTF-16 units), 2*n bytes of name,
//                              4-byte model "RGB ", "CMYK", "LAB " or "Gray",
//                              32-bit floats (3, 4, 3 or 1 of them), 16-bit colour type
//     type 0xC001 group start  and 0xC002 group end: only structure, skipped like any other
//
// RGB, CMYK and grey values are fractions 0..1 (grey 1 = white, CMYK 1 = full ink); Lab holds L
// as a fraction 0..1 (some writers use 0..100) and a, b unscaled, relative to D50. Names, groups
// and colour types are ignored; every model but RGB is converted to sRGB, with one warning
// naming how many. Another version is warned about and read the same way. A file that ends
// before its block count, a block that does not hold its colour, or an unknown model refuses the
// file.
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

PaletteRead ReadAse(QByteArrayView bytes);

}  // namespace tavlo
