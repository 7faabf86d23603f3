#include "cli/palette_input.h"

#include <algorithm>

#include "formats/palette_formats.h"

namespace tavlo::cli {
namespace {

QString Endings(bool written) {
  QStringList endings;
  for (const PaletteFormat& format : PaletteFormats())
    if (!format.ending.isEmpty() && (written ? format.write != nullptr : format.read != nullptr))
      endings << format.ending;
  endings.removeDuplicates();
  return endings.join(QStringLiteral(", "));
}

// The readers' messages are for a message box: one line each here. A message that names the file
// stands alone; any other gets the file's name in front.
void Report(CliIo& io, const QString& path, const QString& message, bool failure) {
  QString line = message;
  line.replace(QLatin1Char('\n'), QLatin1Char(' '));
  if (!line.contains(ShownPath(path))) line = ShownPath(path) + QStringLiteral(": ") + line;
  if (failure)
    io.err << kProgramName << ": " << line << Qt::endl;
  else
    ReportWarning(io, line);
}

}  // namespace

LoadedPalette LoadPalette(const QString& path) {
  LoadedPalette loaded;
  const PaletteFormat* format = FormatForName(path);
  if (!format || !format->read) {
    loaded.messages << QStringLiteral(
                           "Tavlo reads no palette file of this name's ending (it reads "
                           "%1).")
                           .arg(ReadEndings());
    return loaded;
  }
  PaletteRead read = ReadPaletteFile(*format, path);
  loaded.count = std::min<int>(static_cast<int>(read.colors.size()), kPaletteSize);
  std::copy_n(read.colors.begin(), loaded.count, loaded.colors.begin());
  loaded.messages = std::move(read.warnings);
  if (!loaded.ok() && loaded.messages.isEmpty())
    loaded.messages << QStringLiteral("no colour table that Tavlo can read.");
  return loaded;
}

bool ReportLoadedPalette(CliIo& io, const QString& path, const LoadedPalette& palette) {
  for (const QString& message : palette.messages) Report(io, path, message, !palette.ok());
  return palette.ok();
}

QString ReadEndings() {
  return Endings(false);
}

QString WrittenEndings() {
  return Endings(true);
}

}  // namespace tavlo::cli
