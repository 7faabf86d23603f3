#pragma once
// ACO colour swatch files, version 1, RGB. All numbers are unsigned 16-bit, big-endian.
//
//   offset 0          version, 1
//   offset 2          colour count N (1..256)
//   offset 4 + 10*k   record k, entry first + k:
//                       +0 colour space 0 (RGB)
//                       +2 red * 257, +4 green * 257, +6 blue * 257   (8-bit c stored as c, c)
//                       +8 0
//
// The file ends after the last record: 4 + 10*N bytes, no version-2 section, no names.
#include <QByteArray>

#include "palette/color_value.h"

namespace tavlo {

// The file of entries first..last (0-based, both included; 0 <= first <= last <= 255).
QByteArray WriteAco(const PaletteColors& colours, int first, int last);

}  // namespace tavlo
