#pragma once
// The one table of palette file formats: for each, the ending that names it, its captions in the
// open and save dialogs' filters, its reader and writer, and which entries a save asks for. The
// open and save commands, their filters and the command-line converter all work from it; adding
// a format is adding its codec and a row.
//
// Which reader takes a file: the name's ending chooses first. When that reader finds no colours
// and the file's first bytes show it to be of another format, the reader of that format takes it
// instead: a RIFF palette named .pal, a GIMP palette named .hex or a GIF named .act are read as
// what they are. A file whose ending names no reader is not read at all.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <span>

#include "base/entry_range.h"
#include "formats/palette_read.h"

namespace tavlo {

// Which entries a save writes.
enum class SavedEntries {
  All,           // all 256
  SixteenOrAll,  // the first 16 or all 256, asked as a yes-or-no question
  AskedRange,    // a range asked with the entry-range prompt
};

struct PaletteFormat {
  // The last three characters of a file name of this format, compared in lower case. Empty for
  // a format known by its content only.
  QLatin1StringView ending = {};

  // Reading; read is nullptr for a format that is only written.
  QString openCaption = {};  // the open filter's entry; empty when not listed
  PaletteRead (*read)(QByteArrayView bytes) = nullptr;
  // True when the first bytes are this format's signature; nullptr for formats without one.
  bool (*looksLike)(QByteArrayView bytes) = nullptr;
  // The reader needs the whole file; a file larger than kPaletteBytesRead is refused. Readers
  // that only look at the start (a picture's header and table) take its first bytes.
  bool wholeFile = false;
  // The formats added to the first four read a file as the current palette should be after an
  // open: their warnings are sentences about the file and get its name put in front ("holds no
  // colours."), and the selection moves to entry 0. The first four keep their own texts and leave
  // the selection where it is.
  bool added = false;

  // Writing; write is nullptr for a format that is only read. `path` is the file to be written,
  // whose base name some formats store.
  QString saveCaption = {};  // the save filter's entry
  int saveSlot = 0;          // the entry's place in the save filter (1 = first)
  QByteArray (*write)(const PaletteColors& colors, EntryRange entries,
                      const QString& path) = nullptr;
  SavedEntries saved = SavedEntries::All;
};

// The most bytes read of a palette file.
inline constexpr qint64 kPaletteBytesRead = 4 * 1024 * 1024;

std::span<const PaletteFormat> PaletteFormats();
// The format of this ending ("pal"), or nullptr.
const PaletteFormat* FormatForEnding(QStringView ending);
// The format a file of this name is taken for, or nullptr when its ending names none.
const PaletteFormat* FormatForName(const QString& fileName);

// The format whose signature the first bytes of a file show, or nullptr.
const PaletteFormat* FormatForContent(QByteArrayView bytes);

// The filters of the open and save dialogs, "caption|patterns|caption|patterns...".
QString OpenFilter();
QString SaveFilter();

// The colours of the file at `path` whose bytes are `bytes`, read by `named` unless the content
// shows another format (see above). `complete` is false when `bytes` are only the start of a
// larger file.
PaletteRead ReadPaletteAs(const PaletteFormat& named, const QString& path, QByteArrayView bytes,
                          bool complete = true);

// Reads the file at `path` from disk and then as ReadPaletteAs does. A file that cannot be read
// gives a warning with its path and the system's reason; a missing file gives that warning too,
// so callers that skip missing files silently test for them first.
PaletteRead ReadPaletteFile(const PaletteFormat& named, const QString& path);

// The bytes of a file of `format` holding `entries` of `colours`, to be written at `path`. For
// the formats that save all entries, or the first 16 or all, `entries` says how many from 0.
QByteArray WritePaletteBytes(const PaletteFormat& format, const PaletteColors& colors,
                             EntryRange entries, const QString& path);

}  // namespace tavlo
