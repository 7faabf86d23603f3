#include "picture_view/picture_export.h"

#include <QDir>
#include <QFileInfo>

#include "base/thousands.h"
#include "dialogs/busy_pointer.h"
#include "dialogs/dialog_service.h"
#include "store/atomic_file.h"
#include "store/settings.h"

namespace tavlo {

namespace {

QString ProposedName(const PictureExportDialog& dialog) {
  const QString base = QFileInfo(dialog.picture).completeBaseName();
  return (base.isEmpty() ? QStringLiteral("noname") : base) + QLatin1Char('.') + dialog.defaultExt;
}

QString StartDirectory(const PictureExportDialog& dialog) {
  if (!ReadKey(keys::kExportPath).isEmpty() || dialog.picture.isEmpty())
    return ReadDirectory(keys::kExportPath);
  return QFileInfo(dialog.picture).absolutePath();
}

}  // namespace

QString ExportedText(const ExportedFile& file) {
  return QStringLiteral("Wrote %1 (%2 bytes).")
      .arg(QDir::toNativeSeparators(file.path),
           QString::fromStdString(WithThousands(std::uint64_t(file.bytes))));
}

ExportedFile ExportPictureFile(
    QWidget* owner, const PictureExportDialog& dialog,
    const std::function<EncodedPicture(const QString& name, int filter)>& encode) {
  QString dir = StartDirectory(dialog);
  int filter = 0;
  const QString name = Dialogs().ShowSaveDialog(owner, dialog.title, dir, ProposedName(dialog),
                                                dialog.filter, dialog.defaultExt, &filter);
  EnsureTrailingSeparator(dir);
  if (name.isEmpty()) return {};
  const QString path = dir + name;
  BusyPointer busy;
  const EncodedPicture encoded = encode(name, filter);
  const WriteResult written =
      encoded.ok() ? WriteFileAtomically(path, encoded.bytes) : WriteResult{false, encoded.error};
  busy.Restore();
  if (!written) {
    ShowWarning(owner, QStringLiteral("The %1 could not be saved as %2: %3")
                           .arg(dialog.what, QDir::toNativeSeparators(path), written.error));
    return {};
  }
  WriteKey(keys::kExportPath, dir);
  return {path, encoded.bytes.size()};
}

}  // namespace tavlo
