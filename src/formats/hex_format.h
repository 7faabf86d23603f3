#pragma once
// Hex lists: text, one colour per line as six hexadecimal digits RRGGBB, with or without a
// leading '#', in either case. Eight digits RRGGBBAA are read too, the alpha ignored.
//
// Blank lines are ignored, and so is a comment: a line whose '#' is followed by a blank, by a
// character that is no hex digit, or by nothing. Any other line refuses the file. Lines end in
// CR LF, LF or CR; a UTF-8 byte-order mark at the start is skipped. More than 256 colours give
// the first 256 and a warning.
//
// Written as one lowercase "rrggbb" line per entry, each ending in LF.
#include <QByteArray>
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

PaletteRead ReadHex(QByteArrayView bytes);

// The list of entries first..last (0-based, both included).
QByteArray WriteHex(const PaletteColors& colors, int first, int last);

}  // namespace tavlo
