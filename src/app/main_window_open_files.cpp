// Files given to the program when it starts, as the desktop's "Open with" passes them: each one
// opened as a picture or as a palette, whichever it is.
#include <QDir>
#include <QFileInfo>

#include "app/main_window.h"
#include "commands/palette_file_commands.h"
#include "dialogs/dialog_service.h"
#include "formats/palette_formats.h"
#include "picture/picture_loader.h"

namespace tavlo {
namespace {

// A name whose ending is a palette format's and no picture format's: read as that palette even
// where its bytes carry no signature (ACT, a text palette).
bool NamedAsPaletteOnly(const QString& path) {
  const PaletteFormat* format = FormatForName(path);
  if (!format || !format->read) return false;
  return !PicturePatterns().contains(QStringLiteral("*.") + QFileInfo(path).suffix().toLower());
}

}  // namespace

void MainWindow::OpenFiles(const QStringList& paths) {
  for (const QString& given : paths) {
    const QString path = QFileInfo(given).absoluteFilePath();
    if (NamedAsPaletteOnly(path) && QFileInfo(path).isFile()) {
      OpenPaletteAt(this, *document_, path);
      continue;
    }
    const PictureResult loaded = LoadPictureFile(path);
    if (loaded.ok()) {
      ShowPicture(loaded);
      PictureShown(path);
    } else if (!loaded.notAPicture || !OpenPaletteAt(this, *document_, path)) {
      // A picture that cannot be opened is said so, as the open dialog says it; only what is no
      // picture at all is tried as a palette.
      ShowWarning(this, CannotOpenPictureText(path, loaded.error));
    }
  }
}

}  // namespace tavlo
