#pragma once
// ACO colour swatch files. All numbers are unsigned 16-bit, big-endian.
//
//   offset 0          version, 1 or 2
//   offset 2          colour count N
//   then N swatches:  +0 colour space, +2 w, +4 x, +6 y, +8 z
//                     version 2 adds after each swatch a name: a 32-bit length L in UTF-16
//                     units, then 2*L bytes
//
// A version 1 section is normally followed by a version 2 section of the same colours with
// names, and sometimes by further resource data; the reader takes the first section only.
// Colour spaces read (w, x, y, z as above):
//   0 RGB        red, green, blue 0..65535; the high byte of each is the 8-bit value
//   1 HSB        hue 0..65535 for 0..360 degrees, saturation and brightness 0..65535
//   2 CMYK       cyan, magenta, yellow, black 0..65535, where 0 is full ink
//   7 Lab        L 0..10000, a and b signed -12800..12700 (hundredths)
//   8 greyscale  0..10000, where 0 is white and 10000 black
// Every space but RGB is converted to sRGB, with one warning naming how many. Any other space
// (colour books) refuses the file, as does a file that ends inside its first section.
//
// Written as version 1, RGB:
//   offset 4 + 10*k   record k, entry first + k:
//                       +0 colour space 0 (RGB)
//                       +2 red * 257, +4 green * 257, +6 blue * 257   (8-bit c stored as c, c)
//                       +8 0
// The file ends after the last record: 4 + 10*N bytes, no version-2 section, no names.
#include <QByteArray>
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

PaletteRead ReadAco(QByteArrayView bytes);

// The file of entries first..last (0-based, both included; 0 <= first <= last <= 255).
QByteArray WriteAco(const PaletteColors& colors, int first, int last);

}  // namespace tavlo
