#include "image/picture_area.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "image/crosshair_cursor.h"

namespace tavlo {
namespace {

// Draws an image at its natural size from the top-left corner.
class ImageView : public QWidget {
 public:
  ImageView(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
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

PictureArea::PictureArea(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("picMain"));
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(kBorder);
  setAcceptDrops(true);
  canvas_ = new ImageView(picture_, this);
  canvas_->move(kBorder, kBorder);
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

void PictureArea::SetPicture(const QImage& picture) {
  picture_ = picture.convertToFormat(QImage::Format_RGB32);
  canvas_->resize(picture_.size());
  setFixedSize(picture_.width() + 2 * kBorder, picture_.height() + 2 * kBorder);
  canvas_->update();
  emit PictureChanged();
}

void PictureArea::ResetPreview() {
  preview_->hide();
  preview_->setGeometry(0, 0, width(), height());
}

void PictureArea::ShowPreview(const QImage& preview) {
  previewImage_ = preview;
  preview_->show();
  preview_->raise();
  preview_->repaint();
}

QString PictureArea::FirstDroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return {};
  return urls.first().toLocalFile();
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
  }
  return QFrame::eventFilter(watched, event);
}

void PictureArea::PreviewPressed(Qt::MouseButton button) {
  if (button == Qt::LeftButton) {
    preview_->hide();
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
