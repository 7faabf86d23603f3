#include "formats/palette_file_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include "app/atomic_file.h"
#include "app/settings.h"
#include "app/settings_store.h"
#include "dialogs/dialog_service.h"
#include "formats/aco_format.h"
#include "formats/act_format.h"
#include "formats/gif_format.h"
#include "formats/painter_txt_format.h"
#include "formats/pal_format.h"
#include "formats/palette_formats.h"
#include "operations/ask_color_range.h"
#include "palette/palette_document.h"

namespace tavlo {
namespace {

const QString kOpenFilter = QStringLiteral(
    "All formats|*.act;*pal;*.gif|Adobe palette-file|*.act|Jasc palette-file|*.pal|"
    "Compuserve Graphics Interchange|*.gif");
const QString kSaveFilter = QStringLiteral(
    "Adobe ACT palette-file|*.act|Adobe ACO palette-file|*.aco|Jasc palette-file|*.pal|"
    "Painter palette-file |*.txt|All formats|*.act;*pal;*.txt");

// No reader needs more than the first bytes of a text palette; a larger file is read up to here
// (its lines beyond that point could only be ones the reader ignores or refuses anyway).
constexpr qint64 kPalBytesRead = 4 * 1024 * 1024;

void ReportUnreadable(QWidget* owner, const QString& path, const QString& reason) {
  ShowWarning(owner, QStringLiteral("The file %1 could not be read:\n%2")
                         .arg(QDir::toNativeSeparators(path), reason));
}

// Up to `limit` bytes from the start of the file; nullopt after telling the user why the file
// could not be read. Only regular files are opened, so a pipe or a device never blocks the
// program.
std::optional<QByteArray> ReadPaletteFile(QWidget* owner, const QString& path, qint64 limit) {
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) {
    ReportUnreadable(
        owner, path,
        info.isDir() ? QStringLiteral("Is a directory") : QStringLiteral("Not a regular file"));
    return std::nullopt;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ReportUnreadable(owner, path, file.errorString());
    return std::nullopt;
  }
  QByteArray bytes = file.read(limit);
  if (file.error() != QFileDevice::NoError) {
    ReportUnreadable(owner, path, file.errorString());
    return std::nullopt;
  }
  return bytes;
}

void Apply(QWidget* owner, PaletteDocument& palette, const PaletteRead& read) {
  if (!read.colours.empty()) {
    const PaletteStep step(palette, QStringLiteral("Open palette"));
    const int count = std::min<int>(static_cast<int>(read.colours.size()), kPaletteSize);
    for (int i = 0; i < count; ++i) palette.SetEntryColor(i, read.colours[i]);
    palette.MarkUnmodified();
  }
  for (const QString& warning : read.warnings) ShowWarning(owner, warning);
}

// Reads up to `limit` bytes of an existing file with `reader` into the palette.
void OpenWith(QWidget* owner, PaletteDocument& palette, const QString& path, qint64 limit,
              PaletteRead (*reader)(QByteArrayView)) {
  if (!FileExists(path)) return;
  const auto bytes = ReadPaletteFile(owner, path, limit);
  if (bytes) Apply(owner, palette, reader(*bytes));
}

void WritePaletteFile(QWidget* owner, PaletteDocument& palette, const QString& path,
                      const QByteArray& bytes) {
  const WriteResult written = WriteFileAtomically(path, bytes);
  if (written)
    palette.MarkUnmodified();
  else
    ShowWarning(owner, QStringLiteral("The file %1 could not be written:\n%2")
                           .arg(QDir::toNativeSeparators(path), written.error));
}

}  // namespace

bool OpenPaletteFile(QWidget* owner, PaletteDocument& palette) {
  QString directory = ReadDirectory(keys::kPalettePath);
  const QString name = Dialogs().ShowOpenDialog(owner, QStringLiteral("Open Palette"), directory,
                                                QString(), kOpenFilter, QStringLiteral("act"));
  EnsureTrailingSeparator(directory);
  if (name.isEmpty()) return false;
  const QString ending = name.right(3).toLower();
  const QString path = directory + name;
  if (ending == QLatin1String("pal"))
    openPAL(owner, palette, path);
  else if (ending == QLatin1String("act"))
    openACT(owner, palette, path);
  else if (ending == QLatin1String("gif"))
    openGIF(owner, palette, path);
  WriteKey(keys::kPalettePath, directory);
  return true;
}

void SavePaletteFile(QWidget* owner, PaletteDocument& palette) {
  QString directory = ReadDirectory(keys::kPalettePath);
  const QString name =
      Dialogs().ShowSaveDialog(owner, QStringLiteral("Save Palette"), directory,
                               QStringLiteral("noname"), kSaveFilter, QStringLiteral("act"));
  EnsureTrailingSeparator(directory);
  if (name.isEmpty()) return;
  const QString ending = name.right(3).toLower();
  const QString path = directory + name;
  if (ending == QLatin1String("pal")) {
    const bool only16 =
        Dialogs().AskYesNo(owner, QStringLiteral("16 or 256 color format"),
                           QStringLiteral("Do you wish to save only the first 16 colors?"));
    SavePAL(owner, palette, path, only16 ? 16 : 256);
  } else if (ending == QLatin1String("act")) {
    SaveACT(owner, palette, path);
  } else if (ending == QLatin1String("aco")) {
    SaveAco(owner, palette, path);
  } else if (ending == QLatin1String("txt")) {
    SaveCorel(owner, palette, path);
  }
  WriteKey(keys::kPalettePath, directory);
}

void openACT(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  // One byte more than a table is enough to tell that a file is too long.
  OpenWith(owner, palette, Datei, kActFileSize + 1, ReadAct);
}

void openPAL(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  // A RIFF palette shares the ending with JASC files and is read as what it is.
  if (!FileExists(Datei)) return;
  const auto bytes = ReadPaletteFile(owner, Datei, kPalBytesRead);
  if (bytes) Apply(owner, palette, ReadPaletteAs(*ReaderForEnding(u"pal"), Datei, *bytes));
}

void openGIF(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  OpenWith(owner, palette, Datei, kGifBytesRead, ReadGif);
}

void SaveACT(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  WritePaletteFile(owner, palette, Datei, WriteAct(palette.Colors()));
}

void SavePAL(QWidget* owner, PaletteDocument& palette, const QString& Datei, int count) {
  WritePaletteFile(owner, palette, Datei, WritePal(palette.Colors(), count));
}

void SaveAco(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  const std::optional<EntryRange> range = AskStartAndEndColor(owner);
  if (range)
    WritePaletteFile(owner, palette, Datei, WriteAco(palette.Colors(), range->first, range->last));
}

void SaveCorel(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  const std::optional<EntryRange> range = AskStartAndEndColor(owner);
  if (range)
    WritePaletteFile(owner, palette, Datei,
                     WritePainterTxt(palette.Colors(), range->first, range->last));
}

}  // namespace tavlo
