// The picture commands of the File menu, dropping a file onto the picture, the recent-pictures
// list, and colour picking on the picture.
#include <QDir>
#include <QShortcut>

#include "app/main_window.h"
#include "app/recent_files.h"
#include "dialogs/dialog_service.h"
#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "picture/picture_loader.h"
#include "picture_view/color_picking.h"
#include "picture_view/picture_area.h"
#include "store/process_state.h"
#include "store/settings.h"
#include "store/settings_store.h"

namespace tavlo {
namespace {

// "All formats" lists every ending the loader reads; the pairs after it name the formats one by
// one.
QString OpenImageFilter() {
  return QStringLiteral("All formats|") + PicturePatterns().join(QLatin1Char(';')) +
         QStringLiteral(
             "|JPEG - Compilant|*.jpg|Compuserve Graphics Interchange|*.gif|Windows Bitmap|"
             "*.bmp|Windows Run-length-encoded|*.rle|Windows Metafile|*.wmf|"
             "Windows Enhanced Metafile|*.emf|Windows Icon|*.ico|"
             "Other pictures|*.png;*.webp;*.tif;*.tiff;*.tga");
}

}  // namespace

void MainWindow::ConnectPictureArea() {
  connect(picture_, &PictureArea::PointerMoved, this, [this](QPoint at) {
    if (palette_) ShowColorUnderPointer(*palette_, picture_->Picture(), at, Process().zoomFactor);
  });
  connect(picture_, &PictureArea::PicturePressed, this, [this](QPoint at, Qt::MouseButton button) {
    PickColor(*document_, picture_->Picture(), at, button);
  });
  connect(picture_, &PictureArea::FileDropped, this, &MainWindow::DropPicture);
  connect(picture_, &PictureArea::ExportRequested, this, &MainWindow::ExportPreviewCommand);
  // Page Up and Page Down step through an animation's frames, in this window and in its tool
  // windows (the result window, the palette window); the preview follows.
  for (const auto& [key, by] : {std::pair{Qt::Key_PageUp, -1}, std::pair{Qt::Key_PageDown, 1}}) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    connect(shortcut, &QShortcut::activated, this,
            [this, by = by] { picture_->ShowFrame(picture_->CurrentFrame() + by); });
  }
  connect(picture_, &PictureArea::FrameShown, this, &MainWindow::FollowWithPreview);
}

QString CannotOpenPictureText(const QString& path, const QString& reason) {
  return QStringLiteral("%1 cannot be opened as a picture: %2.")
      .arg(QDir::toNativeSeparators(path), reason);
}

bool MainWindow::ShowPictureFile(const QString& path) {
  const PictureResult loaded = LoadPictureFile(path);
  if (!loaded.ok()) {
    ShowWarning(this, CannotOpenPictureText(path, loaded.error));
    return false;
  }
  ShowPicture(loaded);
  return true;
}

void MainWindow::ShowPicture(const PictureResult& loaded) {
  pictureTable_ = loaded.colorTable;
  picture_->SetPicture(loaded.image, loaded.losses, loaded.animation);
  ResizeForm();
}

void MainWindow::PictureShown(const QString& path) {
  picturePath_ = path;
  recent::UpdateFileMenu(recentItems_, path, Process().recentMax);
  const int frames = picture_->Frames().count;
  setWindowTitle(QStringLiteral("Tavlo - ") + path +
                 (frames > 1 ? QStringLiteral(" (%1 frames)").arg(frames) : QString()));
}

void MainWindow::OpenImageCommand() {
  QString dir = ReadDirectory(keys::kImagePath);
  const QString name = Dialogs().ShowOpenDialog(this, QStringLiteral("Open Image"), dir, QString(),
                                                OpenImageFilter(), QStringLiteral("jpg"));
  EnsureTrailingSeparator(dir);
  if (name.isEmpty()) return;
  const QString path = dir + name;
  if (!FileExists(path) || !ShowPictureFile(path)) return;
  WriteKey(keys::kImagePath, dir);
  PictureShown(path);
}

void MainWindow::DropPicture(const QString& path) {
  if (!FileExists(path) || !ShowPictureFile(path)) return;
  WriteKey(keys::kImagePath, ExtractPath(path));
  PictureShown(path);
}

void MainWindow::OpenRecentCommand(int i) {
  const QString path = recent::SlotPath(recentItems_[i]);
  if (path.isEmpty() || !FileExists(path) || !ShowPictureFile(path)) return;
  PictureShown(path);
}

void MainWindow::GetRecentFiles() {
  recent::GetRecentFiles(recentItems_, Process().recentMax);
}

}  // namespace tavlo
