#include "commands/last_session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "dialogs/dialog_service.h"
#include "formats/act_format.h"
#include "palette_model/palette_document.h"
#include "store/process_state.h"

namespace tavlo {

QString LastSessionPath() {
  return Process().stateDirectory + QStringLiteral("/last-session.act");
}

namespace {

QString TransparentEntryPath() {
  return Process().stateDirectory + QStringLiteral("/last-session-transparent.txt");
}

// The transparent entry kept beside the last session's palette, or none.
int ReadTransparentEntry() {
  QFile file(TransparentEntryPath());
  if (!file.open(QIODevice::ReadOnly)) return ResultSettings::kNoTransparentEntry;
  bool ok = false;
  const int number = QString::fromLatin1(file.read(16)).trimmed().toInt(&ok);
  return ok && number >= 1 && number <= kPaletteSize ? number - 1
                                                     : ResultSettings::kNoTransparentEntry;
}

}  // namespace

bool LastSessionExists() {
  return QFileInfo(LastSessionPath()).isFile();
}

WriteResult SaveLastSession(const PaletteColors& colors, int transparent) {
  if (!QDir().mkpath(Process().stateDirectory))
    return {false, QStringLiteral("The directory %1 cannot be created")
                       .arg(QDir::toNativeSeparators(Process().stateDirectory))};
  const WriteResult written = WriteFileAtomically(LastSessionPath(), WriteAct(colors));
  if (!written.ok) return written;
  if (transparent < 0 || transparent >= kPaletteSize) {
    QFile::remove(TransparentEntryPath());
    return written;
  }
  return WriteFileAtomically(TransparentEntryPath(), QByteArray::number(transparent + 1) + '\n');
}

void RestoreLastSession(QWidget* owner, PaletteDocument& palette) {
  const QString path = LastSessionPath();
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
    ShowWarning(owner, QStringLiteral("There is no palette of the last session to restore."));
    return;
  }
  // One byte more than a table tells a file that is too long.
  const PaletteRead read = ReadAct(file.read(kActFileSize + 1));
  if (read.colors.size() != static_cast<size_t>(kPaletteSize)) {
    ShowWarning(owner, QStringLiteral("The palette of the last session in %1 is damaged; nothing "
                                      "was restored.")
                           .arg(QDir::toNativeSeparators(path)));
    return;
  }
  PaletteColors colors;
  std::copy(read.colors.begin(), read.colors.end(), colors.begin());
  const QString name = QStringLiteral("Restore last session's palette");
  const PaletteStep step(palette, name);
  palette.Apply(name, colors);
  palette.SetTransparentEntry(ReadTransparentEntry());
}

}  // namespace tavlo
