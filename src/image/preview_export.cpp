#include "image/preview_export.h"

#include <QDir>

#include "app/atomic_file.h"
#include "app/settings.h"
#include "dialogs/dialog_service.h"
#include "image/bmp_writer.h"

namespace tavlo {

void ExportPreview(QWidget* owner, const QImage& preview) {
  QString dir = ReadDirectory(keys::kExportPath);
  const QString name = Dialogs().ShowSaveDialog(
      owner, QStringLiteral("Save Preview"), dir, QStringLiteral("noname"),
      QStringLiteral("Windows Bitmap|*.bmp|All files|*.*"), QStringLiteral("bmp"));
  EnsureTrailingSeparator(dir);
  if (name.isEmpty()) return;
  const QString path = dir + name;
  const WriteResult written = WriteFileAtomically(path, EncodeBmp(preview));
  if (!written) {
    ShowWarning(owner, QStringLiteral("The preview could not be saved as %1: %2")
                           .arg(QDir::toNativeSeparators(path), written.error));
    return;
  }
  WriteKey(keys::kExportPath, dir);
}

}  // namespace tavlo
