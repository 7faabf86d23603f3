#include "palette_window/swatch_grid.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

#include "palette_model/palette_document.h"
#include "palette_model/palette_text.h"

namespace tavlo {
namespace {

// A small triangle in the swatch's lower right corner, black on light colours and white on
// dark ones.
void DrawMark(QPainter& painter, const QRect& swatch, ColorValue color) {
  const int luma = 299 * RedOf(color) + 587 * GreenOf(color) + 114 * BlueOf(color);
  const QColor ink = luma > 128000 ? Qt::black : Qt::white;
  constexpr int kSide = 5;
  const QPoint corner = swatch.bottomRight();
  const QPoint triangle[3] = {corner, corner - QPoint(kSide - 1, 0), corner - QPoint(0, kSide - 1)};
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(ink);
  painter.drawPolygon(triangle, 3);
  painter.restore();
}

// A small checkerboard in the swatch's upper left corner, the usual sign of transparency: 3 x 3
// cells of 2 pixels, white and grey, with a thin dark edge so that it shows on any colour.
void DrawTransparentCorner(QPainter& painter, const QRect& swatch) {
  constexpr int kCell = 2, kCells = 3;
  const QPoint origin = swatch.topLeft();
  painter.save();
  painter.fillRect(QRect(origin, QSize(kCell * kCells + 1, kCell * kCells + 1)),
                   QColor(64, 64, 64));
  for (int y = 0; y < kCells; ++y)
    for (int x = 0; x < kCells; ++x)
      painter.fillRect(QRect(origin + QPoint(x * kCell, y * kCell), QSize(kCell, kCell)),
                       (x + y) % 2 ? QColor(153, 153, 153) : QColor(Qt::white));
  painter.restore();
}

}  // namespace

SwatchGrid::SwatchGrid(QWidget* parent, const PaletteDocument& document)
    : QWidget(parent), document_(document) {
  const int side = kOrigin * 2 + kPitch * (kColumns - 1) + kSwatchSize;
  setFixedSize(side, side);
  setMouseTracking(true);
  connect(&document, &PaletteDocument::EntriesChanged, this, &SwatchGrid::EntriesChanged);
  // Frames are few and cheap to draw: a selection change repaints the grid.
  connect(&document, &PaletteDocument::SelectionChanged, this, qOverload<>(&QWidget::update));
  connect(&document, &PaletteDocument::ResultSettingsChanged, this, [this] {
    if (TransparentEntry() != transparentShown_) update();
  });
}

int SwatchGrid::TransparentEntry() const {
  const ResultSettings& result = document_.Result();
  return result.TransparentPosition() == ResultSettings::kNoTransparentEntry
             ? ResultSettings::kNoTransparentEntry
             : result.transparent;
}

SwatchGrid::~SwatchGrid() {
  EndDrag();
}

// update() only marks the area: many changes in a row are painted once, on the next turn of the
// event loop.
void SwatchGrid::EntriesChanged(EntryRange range) {
  if (range.first / kColumns == range.last / kColumns) {
    update(SwatchRect(range.first).united(SwatchRect(range.last)));
    return;
  }
  // Whole rows from the first changed one to the last.
  update(SwatchRect(range.first - range.first % kColumns)
             .united(SwatchRect(range.last - range.last % kColumns + kColumns - 1)));
}

QRect SwatchGrid::SwatchRect(int index) {
  return {kOrigin + kPitch * (index % kColumns), kOrigin + kPitch * (index / kColumns), kSwatchSize,
          kSwatchSize};
}

int SwatchGrid::IndexAt(QPoint p) {
  const int x = p.x() - kOrigin;
  const int y = p.y() - kOrigin;
  if (x < 0 || y < 0) return -1;
  const int column = x / kPitch;
  const int row = y / kPitch;
  if (column >= kColumns || row >= kColumns) return -1;
  if (x % kPitch >= kSwatchSize || y % kPitch >= kSwatchSize) return -1;
  return row * kColumns + column;
}

QRect SwatchGrid::FrameRect(int index) const {
  return SwatchRect(index).adjusted(-1, -1, 1, 1);
}

void SwatchGrid::SetMarkedEntries(std::bitset<kPaletteSize> marked) {
  if (marked == marked_) return;
  marked_ = marked;
  update();
}

void SwatchGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QColor frameColor = palette().color(QPalette::WindowText);
  transparentShown_ = TransparentEntry();
  for (int i = 0; i < kPaletteSize; ++i) {
    const QRect frame = FrameRect(i);
    if (!event->rect().intersects(frame)) continue;
    const ColorValue c = document_.GetEntryColor(i);
    painter.fillRect(SwatchRect(i), QColor(RedOf(c), GreenOf(c), BlueOf(c)));
    if (marked_[static_cast<size_t>(i)]) DrawMark(painter, SwatchRect(i), c);
    if (i == transparentShown_) DrawTransparentCorner(painter, SwatchRect(i));
    if (document_.SelectionFrameShown(i)) {
      painter.setPen(frameColor);
      painter.drawRect(frame.adjusted(0, 0, -1, -1));
    }
  }
}

bool SwatchGrid::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const int index = IndexAt(help->pos());
    if (index < 0) {
      QToolTip::hideText();
      event->ignore();
      return true;
    }
    // The pointer came to rest here: the tip shows the entry as it is now.
    HoverOver(index);
    // The tip keeps its CR LF line break; the tooltip window breaks lines at LF alone.
    QString shown = toolTip();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QToolTip::showText(help->globalPos(), shown, this, SwatchRect(index));
    return true;
  }
  return QWidget::event(event);
}

void SwatchGrid::HoverOver(int index) {
  QString tip = SwatchTooltip(index, document_.GetEntryColor(index));
  if (index == TransparentEntry()) tip += QStringLiteral(" (transparent)");
  if (toolTip() != tip) setToolTip(tip);
}

void SwatchGrid::mouseMoveEvent(QMouseEvent* event) {
  const int index = IndexAt(event->position().toPoint());
  if (index >= 0) HoverOver(index);
}

void SwatchGrid::mousePressEvent(QMouseEvent* event) {
  if (dragging_) {
    // Another button while a drag runs belongs to that drag. A press with no other button held
    // means the release of the drag never reached us (the grab was lost): that drag is over.
    if (event->buttons() != event->button()) return;
    EndDrag();
  }
  const int index = IndexAt(event->position().toPoint());
  lastPressed_ = index;
  if (index < 0) return;
  emit SwatchPressed(index, event->button(), event->modifiers());
}

void SwatchGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (dragging_) return;
  const int index = IndexAt(event->position().toPoint());
  if (index < 0) return;
  // Two quick clicks on neighbouring swatches also make a double-click; only the second click on
  // the same swatch edits it, anything else is an ordinary press.
  if (event->button() == Qt::LeftButton && index == lastPressed_) {
    emit SwatchDoubleClicked(index, event->modifiers());
    return;
  }
  lastPressed_ = index;
  emit SwatchPressed(index, event->button(), event->modifiers());
}

void SwatchGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_) return;
  EndDrag();
  // Positions beyond the grid (other elements, other windows) hit no swatch.
  emit SwatchDropped(IndexAt(event->position().toPoint()));
}

void SwatchGrid::hideEvent(QHideEvent* event) {
  EndDrag();
  QWidget::hideEvent(event);
}

QCursor SwatchGrid::DragCursor() {
  return QCursor(QPixmap(QStringLiteral(":/tavlo_32.png")));
}

void SwatchGrid::BeginDrag() {
  if (dragging_) return;
  dragging_ = true;
  QGuiApplication::setOverrideCursor(DragCursor());
}

void SwatchGrid::EndDrag() {
  if (!dragging_) return;
  dragging_ = false;
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace tavlo
