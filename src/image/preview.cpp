#include "image/preview.h"

#include <QDir>

#include "app/atomic_file.h"
#include "app/settings.h"
#include "colorlib/tavlo_color.h"
#include "dialogs/dialog_service.h"
#include "image/bmp_writer.h"

namespace tavlo {

QImage MakePreview(const QImage& picture, std::span<const ColorValue> colours) {
  // The library reduces the picture in place: bits() below makes the copy our own.
  QImage preview = picture.convertToFormat(QImage::Format_RGB32);
  if (preview.isNull() || colours.empty() || colours.size() > size_t(kPaletteSize)) return preview;
  PreViewImage(reinterpret_cast<uint32_t*>(preview.bits()), preview.width(), preview.height(),
               int32_t(preview.bytesPerLine()), colours.data(), int32_t(colours.size()));
  return preview;
}

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
