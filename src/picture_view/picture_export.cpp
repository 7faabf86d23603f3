#include "picture_view/picture_export.h"

#include <QDir>

#include "dialogs/busy_pointer.h"
#include "dialogs/dialog_service.h"
#include "store/atomic_file.h"
#include "store/settings.h"

namespace tavlo {

QString ExportPictureFile(
    QWidget* owner, const PictureExportDialog& dialog,
    const std::function<EncodedPicture(const QString& name, int filter)>& encode) {
  QString dir = ReadDirectory(keys::kExportPath);
  int filter = 0;
  const QString name = Dialogs().ShowSaveDialog(owner, dialog.title, dir, QStringLiteral("noname"),
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
  return path;
}

}  // namespace tavlo
