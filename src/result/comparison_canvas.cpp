#include "result/comparison_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "reduction/loss_map.h"
#include "result/result_computer.h"

namespace tavlo {
namespace {

constexpr int kZoomSteps[] = {1, 2, 4, 8, 16};
constexpr QRgb kOutside = 0xFF505050;   // around the picture
constexpr QRgb kNoResult = 0xFF808080;  // where the file's pixels are still being worked out
constexpr int kDividerGrip = 4;         // view pixels either side of the divider that grab it

// The next zoom step in or out from `scale`.
int StepFrom(double scale, bool in) {
  if (in) {
    for (int step : kZoomSteps)
      if (step > scale + 1e-9) return step;
    return kZoomSteps[std::size(kZoomSteps) - 1];
  }
  for (int i = int(std::size(kZoomSteps)) - 1; i >= 0; --i)
    if (kZoomSteps[i] < scale - 1e-9) return kZoomSteps[i];
  return kZoomSteps[0];
}

}  // namespace

ComparisonCanvas::ComparisonCanvas(const ResultComputer& computer, QWidget* parent)
    : QWidget(parent), computer_(computer) {
  setObjectName(QStringLiteral("picCompare"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setMinimumSize(160, 120);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ComparisonCanvas::SetPicture(const QImage& picture, size_t firstPixel, size_t totalPixels) {
  picture_ = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                 ? picture
                 : picture.convertToFormat(QImage::Format_RGB32);
  firstPixel_ = firstPixel;
  totalPixels_ =
      totalPixels > 0 ? totalPixels : size_t(picture_.width()) * size_t(picture_.height());
  KeepInside();
  update();
}

void ComparisonCanvas::SetMode(Mode mode) {
  mode_ = mode;
  update();
}

void ComparisonCanvas::SetZoom(int zoom) {
  if (zoom == zoom_) return;
  ZoomAbout(zoom, QPointF(width() / 2.0, height() / 2.0));
}

double ComparisonCanvas::Scale() const {
  if (zoom_ != kFit) return zoom_;
  if (picture_.isNull()) return 1;
  return std::max(
      1e-3, std::min(double(width()) / picture_.width(), double(height()) / picture_.height()));
}

void ComparisonCanvas::SetLossMapOptions(bool onlyAboveOne, bool visible) {
  onlyAboveOne_ = onlyAboveOne;
  visible_ = visible;
  update();
}

void ComparisonCanvas::SetDivider(int x) {
  divider_ = std::clamp(x, 0, std::max(0, width() - 1));
  update();
}

void ComparisonCanvas::CentreOn(QPoint pixel) {
  if (zoom_ == kFit || picture_.isNull()) return;
  origin_ = QPointF(pixel.x() + 0.5 - width() / (2.0 * zoom_),
                    pixel.y() + 0.5 - height() / (2.0 * zoom_));
  KeepInside();
  update();
}

QPointF ComparisonCanvas::ViewOrigin(double scale) const {
  if (zoom_ != kFit) return origin_;
  return QPointF((picture_.width() - width() / scale) / 2,
                 (picture_.height() - height() / scale) / 2);
}

QPoint ComparisonCanvas::PixelAt(QPointF at) const {
  const double scale = Scale();
  const QPointF origin = ViewOrigin(scale);
  return QPoint(int(std::floor(origin.x() + at.x() / scale)),
                int(std::floor(origin.y() + at.y() / scale)));
}

// The picture stays in view: centred along a side where it is smaller than the view, else
// covering it. The origin sits on whole view pixels, so every picture pixel is a whole square.
void ComparisonCanvas::KeepInside() {
  if (zoom_ == kFit || picture_.isNull()) return;
  auto keep = [this](double origin, int pictureSide, int viewSide) {
    const double shown = double(viewSide) / zoom_;
    origin = pictureSide <= shown ? (pictureSide - shown) / 2
                                  : std::clamp(origin, 0.0, pictureSide - shown);
    return std::round(origin * zoom_) / zoom_;
  };
  origin_ = QPointF(keep(origin_.x(), picture_.width(), width()),
                    keep(origin_.y(), picture_.height(), height()));
}

void ComparisonCanvas::ZoomAbout(int zoom, QPointF at) {
  const double before = Scale();
  const QPointF under = ViewOrigin(before) + at / before;
  zoom_ = zoom;
  if (zoom_ != kFit) origin_ = under - at / double(zoom_);
  KeepInside();
  update();
  emit ZoomChanged(zoom_);
}

QRgb ComparisonCanvas::ColorOf(QPoint pixel, Mode mode) const {
  const size_t p = firstPixel_ + size_t(pixel.y()) * size_t(picture_.width()) + size_t(pixel.x());
  const QRgb original =
      reinterpret_cast<const QRgb*>(picture_.constScanLine(pixel.y()))[pixel.x()] | 0xFF000000;
  if (mode == Mode::kOriginal) return original;
  const std::optional<ResultFigures>& figures = computer_.Current();
  if (!figures || figures->written.size() != totalPixels_) return kNoResult;
  if (mode == Mode::kResult) {
    const std::vector<ColorValue>& table = computer_.CurrentJob()->entries;
    return ToRgbPixel(table[figures->written[p]]) | 0xFF000000;
  }
  if (!visible_) return LossMapColor(figures->pixelLoss[p], FromRgbPixel(original), onlyAboveOne_);
  if (figures->visibleLoss.size() != figures->written.size()) return kNoResult;
  return LossMapColor(figures->visibleLoss[p], FromRgbPixel(original), onlyAboveOne_);
}

QImage ComparisonCanvas::Frame() const {
  QImage frame(size(), QImage::Format_RGB32);
  frame.fill(kOutside);
  if (picture_.isNull()) return frame;
  const Mode shown = ShownMode();
  const int divider = DividerX();
  std::vector<int> columns(static_cast<size_t>(width()));
  for (int x = 0; x < width(); ++x) columns[size_t(x)] = PixelAt(QPointF(x + 0.5, 0.5)).x();
  int lastRow = -1;  // the picture row of the frame's row above
  for (int y = 0; y < height(); ++y) {
    const int py = PixelAt(QPointF(0.5, y + 0.5)).y();
    if (py < 0 || py >= picture_.height()) continue;
    auto* row = reinterpret_cast<QRgb*>(frame.scanLine(y));
    if (py == lastRow) {  // zoomed in: the same picture row again
      std::copy_n(reinterpret_cast<const QRgb*>(frame.constScanLine(y - 1)), width(), row);
      continue;
    }
    lastRow = py;
    int lastColumn = -1;
    Mode lastMode = shown;
    for (int x = 0; x < width(); ++x) {
      const int px = columns[size_t(x)];
      if (px < 0 || px >= picture_.width()) continue;
      Mode mode = shown;
      if (shown == Mode::kSplit) mode = x < divider ? Mode::kOriginal : Mode::kResult;
      row[x] = px == lastColumn && mode == lastMode ? row[x - 1] : ColorOf({px, py}, mode);
      lastColumn = px;
      lastMode = mode;
    }
  }
  return frame;
}

void ComparisonCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, Frame());
  const Mode shown = ShownMode();
  if (shown == Mode::kSplit) {
    const int divider = DividerX();
    painter.setPen(QColor(255, 255, 255, 200));
    painter.drawLine(divider, 0, divider, height());
  }
  const std::optional<ResultFigures>& figures = computer_.Current();
  const bool waiting = !figures || (shown == Mode::kLossMap && visible_ &&
                                    figures->visibleLoss.size() != figures->written.size());
  if (shown != Mode::kOriginal && waiting && !picture_.isNull()) {
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Working out the result\u2026"));
  }
  if (spaceHeld_) {
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(6, 4, -6, -4), Qt::AlignTop | Qt::AlignLeft,
                     QStringLiteral("Original"));
  }
}

void ComparisonCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (divider_ >= width()) divider_ = -1;
  KeepInside();
}

void ComparisonCanvas::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
    event->ignore();
    return;
  }
  ZoomAbout(StepFrom(Scale(), event->angleDelta().y() > 0), event->position());
  event->accept();
}

void ComparisonCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int divider = DividerX();
  const bool onDivider =
      mode_ == Mode::kSplit && std::abs(event->position().x() - divider) <= kDividerGrip;
  drag_ = onDivider ? Drag::kDivider : Drag::kPan;
  dragFrom_ = event->position();
  setFocus(Qt::MouseFocusReason);
}

void ComparisonCanvas::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (drag_ == Drag::kDivider) {
    SetDivider(int(std::lround(at.x())));
  } else if (drag_ == Drag::kPan && zoom_ != kFit) {
    origin_ -= (at - dragFrom_) / double(zoom_);
    dragFrom_ = at;
    KeepInside();
    update();
  }
  emit Hovered(PixelAt(at));
}

void ComparisonCanvas::mouseReleaseEvent(QMouseEvent*) {
  drag_ = Drag::kNone;
}

void ComparisonCanvas::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    if (!event->isAutoRepeat()) {
      spaceHeld_ = true;
      update();
    }
    return;
  }
  if (mode_ == Mode::kSplit && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
    const int divider = DividerX();
    SetDivider(divider + (event->key() == Qt::Key_Left ? -1 : 1));
    return;
  }
  QWidget::keyPressEvent(event);
}

void ComparisonCanvas::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    if (!event->isAutoRepeat()) {
      spaceHeld_ = false;
      update();
    }
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void ComparisonCanvas::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit Hovered(QPoint(-1, -1));
}

}  // namespace tavlo
