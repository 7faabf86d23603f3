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

bool LastSessionExists() {
  return QFileInfo(LastSessionPath()).isFile();
}

WriteResult SaveLastSession(const PaletteColors& colors) {
  if (!QDir().mkpath(Process().stateDirectory))
    return {false, QStringLiteral("The directory %1 cannot be created")
                       .arg(QDir::toNativeSeparators(Process().stateDirectory))};
  return WriteFileAtomically(LastSessionPath(), WriteAct(colors));
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
  palette.Apply(QStringLiteral("Restore last session's palette"), colors);
}

}  // namespace tavlo
