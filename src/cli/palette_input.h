#pragma once
// A palette file as tavlo-cli reads it: by its ending, exactly as "Open palette" reads it into
// a fresh palette (all black), so the entries the file does not give stay black.
#include <QString>
#include <QStringList>

#include "base/color_value.h"
#include "base/entry_range.h"
#include "cli/cli_io.h"

namespace tavlo::cli {

struct LoadedPalette {
  PaletteColors colors{};
  int count = 0;         // entries the file gave, from entry 0; 0 when it was refused
  QStringList messages;  // the reader's warnings, or why the file was refused
  bool ok() const { return count > 0; }
  // Entries 1 to count: what the file holds.
  EntryRange Held() const { return {0, count - 1}; }
};

LoadedPalette LoadPalette(const QString& path);

// Writes the palette's messages to stderr: as failures when it was refused, else as warnings.
// Returns ok().
bool ReportLoadedPalette(CliIo& io, const QString& path, const LoadedPalette& palette);

// "act, pal, gif, ..." : the endings of the formats that are read, or written.
QString ReadEndings();
QString WrittenEndings();

}  // namespace tavlo::cli
