#pragma once
// The main window's picture area `picMain`: the current picture at its natural size inside a
// sunken 2-pixel border, and over it the preview area `picPreview`, hidden until a preview is
// made. The inner canvas holds the picture so that the preview is clipped to the inner area.
#include <QFrame>
#include <QImage>

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

 private:
  QImage picture_;
  QWidget* canvas_ = nullptr;
  QWidget* preview_ = nullptr;
};

}  // namespace tavlo
