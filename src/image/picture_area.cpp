#include "image/picture_area.h"

#include <QPainter>

#include "image/crosshair_cursor.h"

namespace tavlo {
namespace {

// Draws the picture of its PictureArea at its natural size.
class PictureCanvas : public QWidget {
 public:
  PictureCanvas(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
  }

 private:
  const QImage& picture_;
};

}  // namespace

PictureArea::PictureArea(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("picMain"));
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(kBorder);
  canvas_ = new PictureCanvas(picture_, this);
  canvas_->move(kBorder, kBorder);
  canvas_->setCursor(CrosshairCursor());
  canvas_->setMouseTracking(true);
  canvas_->setAcceptDrops(false);
  preview_ = new QWidget(canvas_);
  preview_->setObjectName(QStringLiteral("picPreview"));
  preview_->setToolTip(QStringLiteral("Save Bitmap with right-click!"));
  preview_->setCursor(Qt::UpArrowCursor);
  preview_->hide();
}

void PictureArea::SetPicture(const QImage& picture) {
  picture_ = picture.convertToFormat(QImage::Format_RGB32);
  canvas_->resize(picture_.size());
  setFixedSize(picture_.width() + 2 * kBorder, picture_.height() + 2 * kBorder);
  canvas_->update();
}

void PictureArea::ResetPreview() {
  preview_->hide();
  preview_->setGeometry(0, 0, width(), height());
}

}  // namespace tavlo
