#pragma once
// Which reader takes a palette file. The name's ending chooses first; when that reader finds no
// colours and the file's first bytes show it to be of another format, the reader of that format
// takes it instead: a RIFF palette named .pal, a GIMP palette named .hex or a GIF named .act are
// read as what they are. A file whose ending no reader takes is not read at all.
#include <QByteArrayView>
#include <QString>

#include "formats/palette_read.h"

namespace tavlo {

struct PaletteReader {
  // The ending that chooses this reader: the last three characters of the file name, compared
  // in lower case. Empty for a format known by its content only.
  QLatin1StringView ending;
  PaletteRead (*read)(QByteArrayView bytes);
  // True when the first bytes are this format's signature; nullptr for formats without one.
  bool (*looksLike)(QByteArrayView bytes);
  // The reader's warnings are sentences about the file without its name ("holds no colours."),
  // which the name is put in front of. Readers with fixed messages of their own have false.
  bool warningsNameTheFile;
};

// The reader of this ending ("pal"), or nullptr.
const PaletteReader* ReaderForEnding(QStringView ending);
// The reader for a file of this name, or nullptr when its ending names none.
const PaletteReader* ReaderForName(const QString& fileName);

// The colours of the file at `path`, whose bytes are `bytes`, read by `named` unless its content
// shows another format (as described above). `path` goes into the warnings of the readers that
// name the file.
PaletteRead ReadPaletteAs(const PaletteReader& named, const QString& path, QByteArrayView bytes);

}  // namespace tavlo
