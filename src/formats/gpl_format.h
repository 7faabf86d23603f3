#pragma once
// GIMP palette files: text, one item per line.
//
//   GIMP Palette              first line (after an optional UTF-8 byte-order mark)
//   Name: <name>              optional, before the first colour
//   Columns: <n>              optional, before the first colour
//   Channels: RGB | RGBA      optional, before the first colour; RGBA adds an alpha number
//   # ...                     comment, anywhere; blank lines are ignored too
//   R G B [A] [name]          one colour: decimal numbers 0..255 separated by spaces or tabs,
//                             then optionally blanks and a name
//
// Lines end in CR LF, LF or CR, mixed freely. Alpha and names are ignored. A line that is none
// of these refuses the file; more than 256 colours give the first 256 and a warning.
//
// Written with LF line ends: the header "GIMP Palette", "Name: <name>", "Columns: 16", then one
// line "RRR GGG BBB<tab>Index n" per entry, the numbers right-aligned in three columns and n the
// entry's index.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "formats/palette_read.h"

namespace tavlo {

PaletteRead ReadGpl(QByteArrayView bytes);

// The file of entries first..last (0-based, both included), with `name` on its Name: line.
QByteArray WriteGpl(const PaletteColors& colors, int first, int last, const QString& name);

}  // namespace tavlo
