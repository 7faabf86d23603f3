#include "commands/palette_file_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include "commands/ask_color_range.h"
#include "dialogs/dialog_service.h"
#include "palette_model/palette_document.h"
#include "store/atomic_file.h"
#include "store/settings.h"
#include "store/settings_store.h"

namespace tavlo {
namespace {

const PaletteFormat& Format(QStringView ending) {
  return *FormatForEnding(ending);
}

void Apply(QWidget* owner, PaletteDocument& palette, const PaletteFormat& format,
           const PaletteRead& read) {
  if (!read.colors.empty()) {
    const PaletteStep step(palette, QStringLiteral("Open palette"));
    const int count = std::min<int>(static_cast<int>(read.colors.size()), kPaletteSize);
    for (int i = 0; i < count; ++i) palette.SetEntryColor(i, read.colors[i]);
    // A picture's transparent index comes with its table; any other file has none.
    const bool transparent = read.transparentEntry >= 0 && read.transparentEntry < kPaletteSize;
    palette.SetTransparentEntry(transparent ? read.transparentEntry
                                            : ResultSettings::kNoTransparentEntry);
    if (format.added) palette.MoveSelectionTo(0);
    palette.MarkUnmodified();
  }
  for (const QString& warning : read.warnings) ShowWarning(owner, warning);
}

// The entries a save of `format` writes: asked from the user where the format says so; nullopt
// when the user cancelled.
std::optional<EntryRange> AskSavedEntries(QWidget* owner, const PaletteFormat& format) {
  switch (format.saved) {
    case SavedEntries::SixteenOrAll: {
      const bool only16 =
          Dialogs().AskYesNo(owner, QStringLiteral("16 or 256 color format"),
                             QStringLiteral("Do you wish to save only the first 16 colors?"));
      return EntryRange{0, only16 ? 15 : 255};
    }
    case SavedEntries::AskedRange:
      return AskStartAndEndColor(owner);
    case SavedEntries::All:
      break;
  }
  return EntryRange{0, kPaletteSize - 1};
}

using FileProcedure = void (*)(QWidget* owner, PaletteDocument& palette, const QString& Datei);

FileProcedure OpenProcedure(QLatin1StringView ending) {
  if (ending == QLatin1StringView("act")) return openACT;
  if (ending == QLatin1StringView("pal")) return openPAL;
  if (ending == QLatin1StringView("gif")) return openGIF;
  return nullptr;
}

void OpenWith(QWidget* owner, PaletteDocument& palette, const PaletteFormat& format,
              const QString& path) {
  if (const FileProcedure open = OpenProcedure(format.ending))
    open(owner, palette, path);
  else
    OpenPaletteAs(owner, palette, format, path);
}

// SavePAL is not among these: it takes the number of entries the 16-or-256 question gave.
FileProcedure SaveProcedure(QLatin1StringView ending) {
  if (ending == QLatin1StringView("act")) return SaveACT;
  if (ending == QLatin1StringView("aco")) return SaveAco;
  if (ending == QLatin1StringView("txt")) return SaveCorel;
  return nullptr;
}

void WriteEntries(QWidget* owner, PaletteDocument& palette, const PaletteFormat& format,
                  const QString& path, EntryRange entries) {
  const WriteResult written =
      WriteFileAtomically(path, WritePaletteBytes(format, palette.Colors(), entries, path));
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
                                                QString(), OpenFilter(), QStringLiteral("act"));
  EnsureTrailingSeparator(directory);
  if (name.isEmpty()) return false;
  const PaletteFormat* format = FormatForName(name);
  if (format && format->read) OpenWith(owner, palette, *format, directory + name);
  WriteKey(keys::kPalettePath, directory);
  return true;
}

bool OpenPaletteAt(QWidget* owner, PaletteDocument& palette, const QString& path) {
  const PaletteFormat* format = FormatForName(path);
  if (!format || !format->read) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    format = FormatForContent(file.read(64));
  }
  if (!format || !format->read) return false;
  OpenWith(owner, palette, *format, path);
  return true;
}

void SavePaletteFile(QWidget* owner, PaletteDocument& palette) {
  QString directory = ReadDirectory(keys::kPalettePath);
  const QString name =
      Dialogs().ShowSaveDialog(owner, QStringLiteral("Save Palette"), directory,
                               QStringLiteral("noname"), SaveFilter(), QStringLiteral("act"));
  EnsureTrailingSeparator(directory);
  if (name.isEmpty()) return;
  const PaletteFormat* format = FormatForName(name);
  if (format && format->write) {
    if (format->ending == QLatin1StringView("pal")) {
      if (const auto entries = AskSavedEntries(owner, *format))
        SavePAL(owner, palette, directory + name, entries->Count());
    } else if (const FileProcedure save = SaveProcedure(format->ending)) {
      save(owner, palette, directory + name);
    } else {
      SavePaletteAs(owner, palette, *format, directory + name);
    }
  }
  WriteKey(keys::kPalettePath, directory);
}

void OpenPaletteAs(QWidget* owner, PaletteDocument& palette, const PaletteFormat& format,
                   const QString& path) {
  if (!FileExists(path)) return;
  Apply(owner, palette, format, ReadPaletteFile(format, path));
}

void SavePaletteAs(QWidget* owner, PaletteDocument& palette, const PaletteFormat& format,
                   const QString& path) {
  const std::optional<EntryRange> entries = AskSavedEntries(owner, format);
  if (entries) WriteEntries(owner, palette, format, path, *entries);
}

void openACT(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  OpenPaletteAs(owner, palette, Format(u"act"), Datei);
}

void openPAL(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  OpenPaletteAs(owner, palette, Format(u"pal"), Datei);
}

void openGIF(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  OpenPaletteAs(owner, palette, Format(u"gif"), Datei);
}

void SaveACT(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  SavePaletteAs(owner, palette, Format(u"act"), Datei);
}

void SavePAL(QWidget* owner, PaletteDocument& palette, const QString& Datei, int count) {
  WriteEntries(owner, palette, Format(u"pal"), Datei, EntryRange{0, count - 1});
}

void SaveAco(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  SavePaletteAs(owner, palette, Format(u"aco"), Datei);
}

void SaveCorel(QWidget* owner, PaletteDocument& palette, const QString& Datei) {
  SavePaletteAs(owner, palette, Format(u"txt"), Datei);
}

}  // namespace tavlo
