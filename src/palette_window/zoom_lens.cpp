#include "palette_window/zoom_lens.h"

#include <QPainter>

namespace tavlo {

ZoomLens::ZoomLens(QWidget* parent) : QWidget(parent) {
  setFixedSize(kSide, kSide);
}

void ZoomLens::SetImage(QImage image) {
  image_ = std::move(image);
  update();
}

void ZoomLens::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
}

}  // namespace tavlo
