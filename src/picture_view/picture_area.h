#pragma once
// The main window's picture area `picMain`: the current picture at its natural size inside a
// sunken 2-pixel border, and over it the preview area `picPreview`, hidden until a preview is
// made. The inner canvas holds the picture so that the preview is clipped to the picture.
//
// The area is as large as the picture plus its border, unless the main window cannot be that
// large on its screen: then the area is smaller and scrolls (scroll bars as needed, the wheel
// vertically, Shift and the wheel horizontally), the canvas and the preview on it moving
// together under it.
//
// An animation shows one frame at a time, the current one: it is the picture that is picked from,
// magnified and previewed.
//
// Pointer moves and presses on the picture are reported in the picture's own pixel coordinates,
// however it is scrolled; files dropped onto the area are reported by path. While the preview is
// shown it takes every pointer event: a left press hides it, a right or middle press asks for its
// export.
#include <QImage>
#include <QScrollArea>

#include "picture/picture_loader.h"
#include "reduction/frame_timing.h"

class QMimeData;

namespace tavlo {

class PictureArea : public QScrollArea {
  Q_OBJECT
 public:
  static constexpr int kBorder = 2;

  explicit PictureArea(QWidget* parent);

  // The picture as shown and picked from: 32-bit RGB, parts that are not opaque laid over white.
  const QImage& Picture() const { return picture_; }
  // The picture as loaded, its alpha kept when it has any; of an animation, the frame shown.
  const QImage& Source() const { return source_; }
  // Replaces the picture whole and takes its size plus the border. `losses`: what loading it
  // left out; `animation`: all its frames when it is one, the first shown.
  void SetPicture(const QImage& picture, const LoadingLosses& losses = {},
                  const Animation& animation = {});
  const LoadingLosses& Losses() const { return losses_; }

  // The animation's frames and the one shown (0-based); a picture that is no animation has none.
  const Animation& Frames() const { return animation_; }
  int CurrentFrame() const { return frame_; }
  // Shows frame k of the animation; nothing happens for a frame it does not have.
  void ShowFrame(int k);
  // Every pixel the palette is tuned for, alpha kept: all frames one below the other, or the
  // picture itself (Source); and how it is an animation.
  QImage AllFrames() const;
  FrameTiming Timing() const;

  // The picture's size plus the border: the area's size whenever the screen has room for it.
  QSize OuterSize() const;
  // Takes `size` (at most OuterSize()), scrolling what does not fit.
  void FitInto(QSize size);
  // The width of a vertical scroll bar and the height of a horizontal one, as the area lays
  // them out.
  QSize ScrollBarRoom() const;
  QWidget* Canvas() const { return canvas_; }
  QWidget* Preview() const { return preview_; }

  // Hides the preview and lays it over the whole area again: at (0, 0) of the inner area, with
  // the area's outer size.
  void ResetPreview();

  // Shows `preview` (the picture reduced to a palette, exactly the picture's size) over the
  // picture, until it is hidden or replaced.
  void ShowPreview(const QImage& preview);
  void HidePreview();
  bool PreviewShown() const;
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
  // ShowFrame showed another frame of the animation.
  void FrameShown(int k);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void PreviewPressed(Qt::MouseButton button);

  QImage source_;
  QImage picture_;
  LoadingLosses losses_;
  Animation animation_;
  int frame_ = 0;
  QImage previewImage_;
  QWidget* canvas_ = nullptr;
  QWidget* preview_ = nullptr;
};

}  // namespace tavlo
