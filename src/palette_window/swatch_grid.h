#pragma once
// The 16 x 16 swatches of the palette window, drawn by one widget: swatch i is 15 x 15 pixels at
// a 16-pixel pitch, with a one-pixel selection frame in the gap around it. The grid shows the
// document's colours and frames as they change, tells which swatch the mouse acts on, and carries
// out a drag between swatches; the palette window decides what each gesture means.
#include <QCursor>
#include <QWidget>
#include <bitset>

#include "base/color_value.h"
#include "base/entry_range.h"

namespace tavlo {

class PaletteDocument;

class SwatchGrid : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kColumns = 16;
  static constexpr int kPitch = 16;
  static constexpr int kSwatchSize = 15;
  // The grid widget starts one pixel before the first swatch, so edge frames fit inside it.
  static constexpr int kOrigin = 1;

  SwatchGrid(QWidget* parent, const PaletteDocument& document);
  ~SwatchGrid() override;

  // Swatch rectangle in grid coordinates, and the swatch under a point (-1 for the gaps and
  // outside).
  static QRect SwatchRect(int index);
  static int IndexAt(QPoint gridPoint);

  // A drag of a swatch, begun from a press: the pointer shows the drag icon until the button is
  // released, wherever that happens; the release reports the swatch under it (SwatchDropped).
  void BeginDrag();
  bool Dragging() const { return dragging_; }
  // The icon shown under the pointer while a swatch is dragged: the same for all 256 swatches.
  static QCursor DragCursor();

  // Entries to mark unobtrusively, with a small corner in a contrasting colour (the result
  // window marks the entries the picture does not use); none at first.
  void SetMarkedEntries(std::bitset<kPaletteSize> marked);
  std::bitset<kPaletteSize> MarkedEntries() const { return marked_; }
  // The document's transparent entry, marked with a small checkerboard corner while it lies in
  // the working range; -1 when there is none.
  int TransparentEntry() const;

 signals:
  // A mouse button went down on a swatch. The second press of a left double-click on the same
  // swatch comes as SwatchDoubleClicked instead.
  void SwatchPressed(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void SwatchDoubleClicked(int index, Qt::KeyboardModifiers modifiers);
  // The drag ended; `index` is the swatch under the pointer, -1 when it was released elsewhere.
  void SwatchDropped(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QRect FrameRect(int index) const;
  void EntriesChanged(EntryRange range);
  // Sets the widget's tooltip text to swatch `index`'s number and colour.
  void HoverOver(int index);
  void EndDrag();

  const PaletteDocument& document_;
  std::bitset<kPaletteSize> marked_;
  int transparentShown_ = -1;  // the entry painted with the corner
  bool dragging_ = false;
  int lastPressed_ = -1;
};

}  // namespace tavlo
