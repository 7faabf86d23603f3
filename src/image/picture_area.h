#pragma once
// The main window's picture area `picMain`: the current picture at its natural size inside a
// sunken 2-pixel border, and over it the preview area `picPreview`, hidden until a preview is
// made. The inner canvas holds the picture so that the preview is clipped to the inner area.
//
// Pointer moves and presses on the picture are reported in the picture's own pixel coordinates;
// files dropped onto the area are reported by path. While the preview is shown it takes every
// pointer event: a left press hides it, a right or middle press asks for its export.
#include <QFrame>
#include <QImage>

class QMimeData;

namespace tavlo {

class PictureArea : public QFrame {
  Q_OBJECT
 public:
  static constexpr int kBorder = 2;

  explicit PictureArea(QWidget* parent);

  const QImage& Picture() const { return picture_; }
  // Replaces the picture whole (converted to 32-bit RGB) and takes its size plus the border.
  void SetPicture(const QImage& picture);

  QSize OuterSize() const { return size(); }
  QWidget* Canvas() const { return canvas_; }
  QWidget* Preview() const { return preview_; }

  // Hides the preview and lays it over the whole area again: at (0, 0) of the inner area, with
  // the area's outer size.
  void ResetPreview();

  // Shows `preview` (the picture reduced to a palette, exactly the picture's size) over the
  // picture. It stays a snapshot until the next preview.
  void ShowPreview(const QImage& preview);
  const QImage& PreviewImage() const { return previewImage_; }

  // The first local file of a drag's data, or empty when it carries no file list.
  static QString FirstDroppedFile(const QMimeData* data);

 signals:
  void PointerMoved(QPoint at);
  void PicturePressed(QPoint at, Qt::MouseButton button);
  void FileDropped(const QString& path);
  // A right or middle press on the preview: the user wants it saved.
  void ExportRequested();
  // SetPicture gave the area another picture.
  void PictureChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void PreviewPressed(Qt::MouseButton button);

  QImage picture_;
  QImage previewImage_;
  QWidget* canvas_ = nullptr;
  QWidget* preview_ = nullptr;
};

}  // namespace tavlo
