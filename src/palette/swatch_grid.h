#pragma once
// The 16 x 16 swatches of the palette window, drawn by one widget: swatch i is 15 x 15 pixels at
// a 16-pixel pitch, with a one-pixel selection frame in the gap around it. The grid only shows
// colours and frames; the palette window decides what they are.
#include <QWidget>
#include <bitset>

#include "palette/color_value.h"

namespace tavlo {

class SwatchGrid : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kColumns = 16;
  static constexpr int kPitch = 16;
  static constexpr int kSwatchSize = 15;
  // The grid widget starts one pixel before the first swatch, so edge frames fit inside it.
  static constexpr int kOrigin = 1;

  explicit SwatchGrid(QWidget* parent);

  ColorValue Color(int index) const { return colors_[index]; }
  const PaletteColors& Colors() const { return colors_; }
  void SetColor(int index, ColorValue colour);

  bool Framed(int index) const { return framed_[index]; }
  void SetFramed(int index, bool shown);

  // Swatch rectangle in grid coordinates, and the swatch under a point (-1 for the gaps and
  // outside).
  static QRect SwatchRect(int index);
  static int IndexAt(QPoint gridPoint);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QRect FrameRect(int index) const;

  PaletteColors colors_{};
  std::bitset<kPaletteSize> framed_;
};

}  // namespace tavlo
