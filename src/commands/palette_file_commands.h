#pragma once
// The open- and save-palette commands of the File menu and the procedures behind them, one per
// format. They run the dialogs, touch the disk and apply a reader's result to the palette
// document, as one undo step "Open palette"; the file layouts themselves live in the codecs
// beside this file. The same step sets the transparent entry to the one the file names (a GIF's
// transparent index, a PNG's clear entry), or to none. A file read or written leaves the document
// unmodified.
//
// A file that is missing when it is to be read is skipped without a message. A file that exists
// but cannot be read, or a file that cannot be written, is reported in the warning box with its
// path and the system's reason; the palette and the file on disk then stay as they were. Every
// write replaces the file whole through a temporary file beside it.
#include <QString>

#include "formats/palette_formats.h"

class QWidget;

namespace tavlo {

class PaletteDocument;

// "Open palette": asks for a file in the last palette directory and loads it by the format its
// ending names (see palette_formats.h). Returns true when the user chose a file (the main window
// then lays itself out again), false on Cancel.
bool OpenPaletteFile(QWidget* owner, PaletteDocument& palette);

// Reads the palette file at `path` as "Open palette" reads a file of that name, or, when its
// name names no palette format, as the format its first bytes show; leaves the palette
// directory as it is. False, and nothing read, when neither names a format.
bool OpenPaletteAt(QWidget* owner, PaletteDocument& palette, const QString& path);

// "Save palette": asks for a file name and writes the palette in the format its ending names,
// after asking which entries where the format says so ("pal": 16 or 256 colours; "aco", "txt",
// "gpl", "hex": a range).
void SavePaletteFile(QWidget* owner, PaletteDocument& palette);

// Reads an existing file as `format` (or as what its content shows it to be) into the palette;
// a missing file is skipped silently.
void OpenPaletteAs(QWidget* owner, PaletteDocument& palette, const PaletteFormat& format,
                   const QString& path);
// Asks for the entries `format` saves and writes them; nothing when the user cancels.
void SavePaletteAs(QWidget* owner, PaletteDocument& palette, const PaletteFormat& format,
                   const QString& path);

// The procedures of the first formats, under their own names: the open and save commands call
// them for files of their endings, and OpenPaletteAs and SavePaletteAs for the other formats.
// `Datei` is the full path.
void openACT(QWidget* owner, PaletteDocument& palette, const QString& Datei);
void openPAL(QWidget* owner, PaletteDocument& palette, const QString& Datei);
void openGIF(QWidget* owner, PaletteDocument& palette, const QString& Datei);

// The writers. SaveAco and SaveCorel first ask for the range of entries to write and write
// nothing when it is cancelled.
void SaveACT(QWidget* owner, PaletteDocument& palette, const QString& Datei);
void SavePAL(QWidget* owner, PaletteDocument& palette, const QString& Datei, int count);
void SaveAco(QWidget* owner, PaletteDocument& palette, const QString& Datei);
void SaveCorel(QWidget* owner, PaletteDocument& palette, const QString& Datei);

}  // namespace tavlo
