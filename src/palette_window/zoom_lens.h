#pragma once
// The zoom lens of the palette window: a 100 x 100 drawing surface that shows whatever image it
// was last given, and nothing before the first one.
#include <QImage>
#include <QWidget>

namespace tavlo {

class ZoomLens : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kSide = 100;

  explicit ZoomLens(QWidget* parent);

  const QImage& Image() const { return image_; }
  void SetImage(QImage image);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

}  // namespace tavlo
