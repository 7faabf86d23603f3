#pragma once
// The picture part of the comparison view: the picture and the file "Export GIF…" writes for
// it, drawn pixel by pixel as squares (never smoothed) at a zoom step or fitted to the view.
// - Modes: the picture, the file, both either side of a divider (dragged, or moved by the arrow
//   keys one pixel at a time), or the loss map. Holding the space bar shows the picture.
// - Ctrl+wheel zooms about the pointer, dragging pans.
// - Only the visible part is drawn: a frame costs the view's pixels, not the picture's.
// The file's pixels come from the result computer's current figures only, so the view never
// shows a file of an older palette, range or budget: while figures are being worked out, every
// mode but the picture says so instead.
#include <QImage>
#include <QPointF>
#include <QWidget>

namespace tavlo {

class ResultComputer;

class ComparisonCanvas : public QWidget {
  Q_OBJECT
 public:
  enum class Mode { kOriginal, kResult, kSplit, kLossMap };
  static constexpr int kFit = 0;  // the zoom that fits the picture into the view

  ComparisonCanvas(const ResultComputer& computer, QWidget* parent = nullptr);

  // The picture of the newest request (its pixels show in "Original" while work runs). Of an
  // animation, one frame: its first pixel is `firstPixel` of the figures' `totalPixels` (0: the
  // picture's own size).
  void SetPicture(const QImage& picture, size_t firstPixel = 0, size_t totalPixels = 0);
  // Where the picture's pixels start in the figures' pixels.
  size_t FirstPixel() const { return firstPixel_; }
  void SetMode(Mode mode);
  Mode GetMode() const { return mode_; }
  // 0 (fit), 1, 2, 4, 8 or 16 screen pixels a picture pixel.
  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  double Scale() const;  // screen pixels a picture pixel, for fit too
  void SetLossMapOptions(bool onlyAboveOne, bool visible);
  // The divider of "Split", in view pixels from the left.
  int Divider() const { return divider_; }
  void SetDivider(int x);
  // Puts the picture pixel `pixel` at the middle of the view (at fit: nothing to move).
  void CentreOn(QPoint pixel);
  // The picture pixel under the view position `at`; outside the picture when none is.
  QPoint PixelAt(QPointF at) const;
  QSize PictureSize() const { return picture_.size(); }
  // What `mode` shows at picture pixel `pixel` (inside the picture).
  QRgb ColorOf(QPoint pixel, Mode mode) const;

 signals:
  // The pointer is over picture pixel `pixel` (outside the picture: left it).
  void Hovered(QPoint pixel);
  void ZoomChanged(int zoom);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QImage Frame() const;  // the view's pixels
  Mode ShownMode() const { return spaceHeld_ ? Mode::kOriginal : mode_; }
  int DividerX() const { return divider_ < 0 ? width() / 2 : divider_; }
  QPointF ViewOrigin(double scale) const;  // the picture position at the view's top left
  void ZoomAbout(int zoom, QPointF at);
  void KeepInside();

  const ResultComputer& computer_;
  QImage picture_;
  size_t firstPixel_ = 0;
  size_t totalPixels_ = 0;
  Mode mode_ = Mode::kOriginal;
  int zoom_ = kFit;
  QPointF origin_;    // the picture position at the view's top left (not at fit)
  int divider_ = -1;  // -1: the middle, until it is moved
  bool onlyAboveOne_ = false;
  bool visible_ = false;
  bool spaceHeld_ = false;
  enum class Drag { kNone, kPan, kDivider } drag_ = Drag::kNone;
  QPointF dragFrom_;
};

}  // namespace tavlo
