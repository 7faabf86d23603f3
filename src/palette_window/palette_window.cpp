#include "palette_window/palette_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>

#include "palette_model/palette_text.h"
#include "palette_window/swatch_grid.h"
#include "palette_window/zoom_lens.h"
#include "store/settings.h"
#include "store/twips.h"

namespace tavlo {
namespace {

QRect FromTwips(int left, int top, int width, int height) {
  return {PixelsFromTwips(left), PixelsFromTwips(top), PixelsFromTwips(width),
          PixelsFromTwips(height)};
}

// The info panel's numbers line up in columns: Courier New where installed, else the system's
// fixed-pitch font, at 8.25 points.
QFont PanelFont() {
  QFont font = QFontDatabase::families().contains(QStringLiteral("Courier New"))
                   ? QFont(QStringLiteral("Courier New"))
                   : QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QFontMetrics metrics(font);
  if (metrics.horizontalAdvance(QLatin1Char('i')) != metrics.horizontalAdvance(QLatin1Char('M'))) {
    // Some platforms answer the fixed-font question with a proportional face.
    font = QFont(QStringLiteral("monospace"));
    font.setStyleHint(QFont::Monospace);
  }
  font.setPointSizeF(8.25);
  font.setWeight(QFont::Normal);
  return font;
}

// Shrinks the label's font until its text fits the label's fixed width, so that captions in the
// window's small fixed layout are never cut, whatever the desktop's font.
void FitFontToWidth(QLabel* label, int largestPixelSize) {
  QFont font = label->font();
  for (int px = largestPixelSize; px >= 6; --px) {
    font.setPixelSize(px);
    if (QFontMetrics(font).horizontalAdvance(label->text()) <= label->width()) break;
  }
  label->setFont(font);
}

const QColor kRed(0xFF, 0, 0);
const QColor kGreen(0, 0x80, 0);
const QColor kBlue(0, 0, 0xFF);

}  // namespace

PaletteWindow::PaletteWindow(QWidget* owner, PaletteDocument& document)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      document_(document) {
  setObjectName(QStringLiteral("frmPalette"));
  setWindowTitle(QStringLiteral("Select entry"));
  setFixedSize(kClientWidth, kClientHeight);
  BuildLayout();
  ConnectGestures();
}

void PaletteWindow::BuildLayout() {
  swatches_ = new SwatchGrid(this, document_);
  swatches_->setObjectName(QStringLiteral("lblColors"));
  // Swatch 0 sits at (4, 4) of the client area.
  const QPoint firstSwatch = FromTwips(60, 60, 0, 0).topLeft();
  swatches_->move(firstSwatch - SwatchGrid::SwatchRect(0).topLeft());

  lens_ = new ZoomLens(this);
  lens_->setObjectName(QStringLiteral("picZoom"));
  lens_->move(FromTwips(3975, 45, 0, 0).topLeft());

  currentColor_ = new QLabel(this);
  currentColor_->setObjectName(QStringLiteral("lblColor"));
  currentColor_->setGeometry(FromTwips(3975, 1590, 1500, 1200));
  currentColor_->setFrameStyle(QFrame::Box | QFrame::Plain);
  currentColor_->setLineWidth(1);
  currentColor_->setAutoFillBackground(true);

  auto* compressCaption = new QLabel(QStringLiteral("Compress:"), this);
  compressCaption->setObjectName(QStringLiteral("lblCompress"));
  compressCaption->setGeometry(FromTwips(4035, 2880, 735, 195));
  FitFontToWidth(compressCaption, 11);

  compress_ = new QComboBox(this);
  compress_->setObjectName(QStringLiteral("cmbCompress"));
  compress_->setEditable(false);
  compress_->setGeometry(FromTwips(4875, 2820, 600, 315));
  compress_->clear();
  for (int d = 2; d <= 50; ++d) compress_->addItem(QString::number(d));
  compress_->setCurrentIndex(0);

  const QColor text = palette().color(QPalette::WindowText);
  const QFont panelFont = PanelFont();  // asks the font database: once for all labels
  AddLabel("lblText", 0, {4035, 3120, 150, 195}, QStringLiteral("#"), text, panelFont);
  AddLabel("lblText", 5, {4035, 3300, 150, 195}, QStringLiteral("r"), kRed, panelFont);
  AddLabel("lblText", 4, {4035, 3480, 150, 195}, QStringLiteral("g"), kGreen, panelFont);
  AddLabel("lblText", 3, {4035, 3660, 150, 195}, QStringLiteral("b"), kBlue, panelFont);
  hexLine_ = AddLabel("lblHTML", 0, {4320, 3120, 1200, 195}, {}, text, panelFont);
  channelLines_[0] = AddLabel("lblRGB", 0, {4320, 3300, 1200, 195}, {}, kRed, panelFont);
  channelLines_[1] = AddLabel("lblRGB", 1, {4320, 3480, 1200, 195}, {}, kGreen, panelFont);
  channelLines_[2] = AddLabel("lblRGB", 2, {4320, 3660, 1200, 195}, {}, kBlue, panelFont);
}

// Labels of one indexed group share their objectName and carry their index as property "index".
QLabel* PaletteWindow::AddLabel(const char* name, int index, QRect twips, const QString& text,
                                QColor color, const QFont& font) {
  auto* label = new QLabel(text, this);
  label->setObjectName(QString::fromLatin1(name));
  label->setProperty("index", index);
  label->setGeometry(FromTwips(twips.x(), twips.y(), twips.width(), twips.height()));
  label->setFont(font);
  QPalette colors = label->palette();
  colors.setColor(QPalette::WindowText, color);
  label->setPalette(colors);
  return label;
}

void PaletteWindow::ShowCurrentColor(ColorValue color) {
  QPalette colors = currentColor_->palette();
  colors.setColor(QPalette::Window, QColor(RedOf(color), GreenOf(color), BlueOf(color)));
  currentColor_->setPalette(colors);
}

QColor PaletteWindow::CurrentColorShown() const {
  return currentColor_->palette().color(QPalette::Window);
}

void PaletteWindow::ShowEntryInfo(ColorValue color) {
  const EntryInfoTexts texts = EntryInfoFor(color);
  hexLine_->setText(texts.hex);
  for (int i = 0; i < 3; ++i) channelLines_[i]->setText(texts.channels[i]);
}

QString PaletteWindow::CompressDivisorText() const {
  return compress_->currentIndex() >= 0 ? compress_->currentText() : compress_->itemText(0);
}

void PaletteWindow::TearDown() {
  if (tornDown_) return;
  WriteKey(keys::kPaletteTop, QString::number(TwipsFromPixels(pos().y())));
  WriteKey(keys::kPaletteLeft, QString::number(TwipsFromPixels(pos().x())));
  tornDown_ = true;
  close();
}

void PaletteWindow::closeEvent(QCloseEvent* event) {
  // The window has no close button; only shut-down closes it.
  if (tornDown_)
    event->accept();
  else
    event->ignore();
}

}  // namespace tavlo
