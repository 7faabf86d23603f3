#pragma once
// JASC-PAL palette files: text, one item per line.
//
//   line 1      JASC-PAL                  (compared after trimming spaces; case matters)
//   line 2      0100                      (another version is warned about, then read anyway)
//   line 3      the colour count, 16 or 256
//   line 4 + k  "red green blue" of entry k, decimal, separated by single spaces
//
// Written with CR LF after every line. Read line by line whether lines end in CR LF, LF alone or
// CR alone. Lines after the last colour line are ignored.
//
// A colour line is trimmed of spaces; red runs up to the first space, green up to the next space,
// blue is the rest. Each component must be a plain decimal number within 0..32767; anything above
// 255 counts as 255. The first line that breaks this rule, or a file that ends before its count of
// colour lines, stops the reading with a warning; the entries read up to there keep their new
// colours.
#include <QByteArray>
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

inline const QString kPalNotJasc =
    QStringLiteral("This file is not a valid palette file from JASC. Terminating operation.");
inline const QString kPalOtherVersion = QStringLiteral(
    "This file seems not to be a valid palette file from JASC, but operation will proceeded.");
inline const QString kPalInvalid =
    QStringLiteral("This files is not a valid palette file from JASC. Terminating operation.");

PaletteRead ReadPal(QByteArrayView bytes);

// The file of the first `count` entries (16 or 256).
QByteArray WritePal(const PaletteColors& colors, int count);

}  // namespace tavlo
