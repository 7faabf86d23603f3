#pragma once
// ACT palette files (colour tables of 256 entries).
//
// Layout, exactly 768 bytes, no header and no trailer:
//   offset 3*i + 0   red of entry i     (unsigned byte)
//   offset 3*i + 1   green of entry i
//   offset 3*i + 2   blue of entry i       for i = 0 .. 255
// A file of any other length is refused, including the 772-byte variant that carries a colour
// count and a transparent index after the table: reading its table while ignoring the count would
// load entries the file marks as unused.
#include <QByteArray>
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

inline constexpr qsizetype kActFileSize = 768;
inline const QString kActRejected = QStringLiteral("This is not a valid PhotoShop ACT file!");

// All 256 entries from a 768-byte file; anything else gives no colours and the ACT warning.
PaletteRead ReadAct(QByteArrayView bytes);

// The 768 bytes of all 256 entries.
QByteArray WriteAct(const PaletteColors& colors);

}  // namespace tavlo
