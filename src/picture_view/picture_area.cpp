#include "picture_view/picture_area.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include "picture/picture_loader.h"
#include "picture_view/crosshair_cursor.h"

namespace tavlo {
namespace {

// Draws an image at its natural size from the top-left corner.
class ImageView : public QWidget {
 public:
  ImageView(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {}

 protected:
  void paintEvent(QPaintEvent* event) override {
    // Only what shows: a large picture mostly lies outside the scrolled view.
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
  }

 private:
  const QImage& image_;
};

// The drop effect answered to a drag: copy, when the source allows it and the data carries a
// file list; no drop otherwise. The first file dragged, or empty when the drag is refused.
template <typename Event>
QString AcceptFileDrag(Event* event) {
  const QString file = PictureArea::FirstDroppedFile(event->mimeData());
  if (file.isEmpty() || !(event->possibleActions() & Qt::CopyAction)) {
    event->ignore();
    return {};
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  return file;
}

}  // namespace

PictureArea::PictureArea(QWidget* parent) : QScrollArea(parent) {
  setObjectName(QStringLiteral("picMain"));
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(kBorder);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setWidgetResizable(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  canvas_ = new ImageView(picture_, this);
  setWidget(canvas_);
  canvas_->setCursor(CrosshairCursor());
  canvas_->setMouseTracking(true);
  canvas_->setAcceptDrops(false);
  canvas_->installEventFilter(this);
  preview_ = new ImageView(previewImage_, canvas_);
  preview_->setObjectName(QStringLiteral("picPreview"));
  preview_->setToolTip(QStringLiteral("Save Bitmap with right-click!"));
  preview_->setCursor(Qt::UpArrowCursor);
  // The preview takes the pointer while shown: nothing reaches the picture beneath it.
  preview_->setMouseTracking(true);
  preview_->setAttribute(Qt::WA_NoMousePropagation);
  preview_->installEventFilter(this);
  preview_->hide();
}

void PictureArea::SetPicture(const QImage& picture, const LoadingLosses& losses,
                             const Animation& animation) {
  source_ = picture;
  picture_ = LaidOverWhite(picture);
  losses_ = losses;
  animation_ = animation;
  frame_ = 0;
  canvas_->resize(picture_.size());
  FitInto(OuterSize());
  canvas_->update();
  emit PictureChanged();
}

void PictureArea::ShowFrame(int k) {
  if (k == frame_ || k < 0 || k >= animation_.count) return;
  frame_ = k;
  source_ = animation_.Frame(k);
  picture_ = LaidOverWhite(source_);
  canvas_->update();
  emit FrameShown(k);
}

QImage PictureArea::AllFrames() const {
  return animation_.Animated() ? animation_.frames : source_;
}

FrameTiming PictureArea::Timing() const {
  if (!animation_.Animated()) return {};
  return {animation_.count, animation_.delays, animation_.loops};
}

QSize PictureArea::OuterSize() const {
  return picture_.size().grownBy(QMargins(kBorder, kBorder, kBorder, kBorder));
}

void PictureArea::FitInto(QSize size) {
  const bool scrolls = size.width() < OuterSize().width() || size.height() < OuterSize().height();
  // A picture that fits has no scroll bars at all, not even for a moment while the window grows.
  const Qt::ScrollBarPolicy policy = scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  setHorizontalScrollBarPolicy(policy);
  setVerticalScrollBarPolicy(policy);
  setFixedSize(size);
}

QSize PictureArea::ScrollBarRoom() const {
  int spacing = 0;
  if (style()->styleHint(QStyle::SH_ScrollView_FrameOnlyAroundContents, nullptr, this))
    spacing = style()->pixelMetric(QStyle::PM_ScrollView_ScrollBarSpacing, nullptr, this);
  return {verticalScrollBar()->sizeHint().width() + spacing,
          horizontalScrollBar()->sizeHint().height() + spacing};
}

void PictureArea::ResetPreview() {
  HidePreview();
  // Over the whole picture, whatever part of it the area shows.
  preview_->setGeometry(QRect(QPoint(0, 0), OuterSize()));
}

void PictureArea::ShowPreview(const QImage& preview) {
  previewImage_ = preview;
  preview_->show();
  preview_->raise();
  preview_->repaint();
}

void PictureArea::HidePreview() {
  preview_->hide();
}

bool PictureArea::PreviewShown() const {
  return !preview_->isHidden();
}

QString PictureArea::FirstDroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return {};
  return urls.first().toLocalFile();
}

bool PictureArea::event(QEvent* event) {
  // A scroll area leaves drags to its view; a file dropped on the border is taken all the same.
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
      return QFrame::event(event);
    default:
      return QScrollArea::event(event);
  }
}

bool PictureArea::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
  if (watched == canvas_) {
    if (type == QEvent::MouseMove) {
      emit PointerMoved(static_cast<QMouseEvent*>(event)->position().toPoint());
      return true;
    }
    if (press) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      emit PicturePressed(mouse->position().toPoint(), mouse->button());
      return true;
    }
  } else if (watched == preview_) {
    if (press) {
      PreviewPressed(static_cast<QMouseEvent*>(event)->button());
      return true;
    }
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease) return true;
    // The preview keeps the pointer's events to itself, but not the scrolling under it.
    if (type == QEvent::Wheel) {
      wheelEvent(static_cast<QWheelEvent*>(event));
      return true;
    }
  }
  return QScrollArea::eventFilter(watched, event);
}

void PictureArea::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ShiftModifier)) {
    QScrollArea::wheelEvent(event);
    return;
  }
  // Shift turns the wheel sideways. The scroll bar would take Shift for page steps, so it gets
  // the turn as a plain sideways one.
  QWheelEvent sideways(event->position(), event->globalPosition(), event->pixelDelta().transposed(),
                       event->angleDelta().transposed(), event->buttons(),
                       event->modifiers() & ~Qt::ShiftModifier, event->phase(), event->inverted(),
                       event->source());
  QCoreApplication::sendEvent(horizontalScrollBar(), &sideways);
  event->accept();
}

void PictureArea::PreviewPressed(Qt::MouseButton button) {
  if (button == Qt::LeftButton) {
    HidePreview();
  } else if (button == Qt::RightButton || button == Qt::MiddleButton) {
    emit ExportRequested();
  }
}

void PictureArea::dragEnterEvent(QDragEnterEvent* event) {
  AcceptFileDrag(event);
}

void PictureArea::dragMoveEvent(QDragMoveEvent* event) {
  AcceptFileDrag(event);
}

void PictureArea::dropEvent(QDropEvent* event) {
  const QString file = AcceptFileDrag(event);
  if (!file.isEmpty()) emit FileDropped(file);
}

}  // namespace tavlo
