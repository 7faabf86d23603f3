#include "result/comparison_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <span>

#include "color_science/s_cielab.h"
#include "result/result_computer.h"

namespace tavlo {
namespace {

constexpr int kBlockSize = 32;
constexpr int kZoomToVisit = 8;  // the zoom "Next worst place" goes to from "Fit"

// The loss map's colour scale, its steps evenly spaced so that the low ones, where the decisions
// are, read as well as the high ones, with their values under it.
class LossScale : public QWidget {
 public:
  explicit LossScale(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picLossLegend"));
    setFixedHeight(kBarHeight + fontMetrics().height() + 2);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int left = 1, right = width() - 2;
    const float span = float(std::max(right - left, 1));
    for (int x = left; x <= right; ++x) {
      const float at = float(x - left) / span * float(kBands);
      const int band = std::min(int(at), kBands - 1);
      const float loss = kSteps[band] + (at - float(band)) * (kSteps[band + 1] - kSteps[band]);
      painter.setPen(QColor::fromRgb(LossMapColor(loss, MakeColor(160, 160, 160))));
      painter.drawLine(x, 0, x, kBarHeight - 1);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    const char* values[] = {"0", "0.5", "1.0", "2.3", "10+"};
    const int textWidth = 60;
    for (int step = 0; step <= kBands; ++step) {
      const int x = left + int(span * float(step) / float(kBands));
      const Qt::Alignment align = step == 0        ? Qt::AlignLeft
                                  : step == kBands ? Qt::AlignRight
                                                   : Qt::AlignHCenter;
      const int from = step == 0 ? x : step == kBands ? x - textWidth : x - textWidth / 2;
      painter.drawText(QRect(from, kBarHeight, textWidth, height() - kBarHeight),
                       align | Qt::AlignTop, QString::fromLatin1(values[step]));
    }
  }

 private:
  static constexpr int kBarHeight = 10;
  static constexpr int kBands = 4;
  static constexpr float kSteps[kBands + 1] = {0, kTintFrom, kNoticed, kJustNoticeable, kDeepest};
};

QString Hex(QRgb rgb) {
  return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

ComparisonView::ComparisonView(const ResultComputer& computer, QWidget* parent)
    : QWidget(parent), computer_(computer) {
  setObjectName(QStringLiteral("pnlCompare"));
  canvas_ = new ComparisonCanvas(computer, this);
  readout_ = new QLabel(this);
  readout_->setObjectName(QStringLiteral("lblReadout"));
  readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(BuildModeRow());
  layout->addWidget(canvas_, 1);
  layout->addWidget(BuildLossMapPanel());
  layout->addWidget(BuildPlaceRow());
  layout->addWidget(readout_);

  connect(&computer_, &ResultComputer::Outdated, this, &ComparisonView::ResultChanged);
  connect(&computer_, &ResultComputer::Ready, this, &ComparisonView::ResultChanged);
  connect(&computer_, &ResultComputer::VisibleReady, this, [this] {
    const std::optional<ResultFigures>& figures = computer_.Current();
    visible_->setEnabled(figures && !figures->visibleLoss.empty());
    if (visible_->isChecked()) blocksCurrent_ = false;
    canvas_->update();
    ShowReadout();
  });
  connect(canvas_, &ComparisonCanvas::Hovered, this, [this](QPoint pixel) {
    hovered_ = pixel;
    ShowReadout();
  });
  connect(canvas_, &ComparisonCanvas::ZoomChanged, this, [this](int zoom) {
    const QSignalBlocker blocker(zoom_);
    zoom_->setCurrentIndex(zoom_->findData(zoom));
  });
  ShowMode();
  ResultChanged();
}

QWidget* ComparisonView::BuildModeRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  modes_ = new QButtonGroup(this);
  const struct {
    const char* name;
    const char* caption;
    ComparisonCanvas::Mode mode;
  } buttons[] = {{"optOriginal", "Original", ComparisonCanvas::Mode::kOriginal},
                 {"optResult", "Result", ComparisonCanvas::Mode::kResult},
                 {"optSplit", "Split", ComparisonCanvas::Mode::kSplit},
                 {"optLossMap", "Loss map", ComparisonCanvas::Mode::kLossMap}};
  for (int i = 0; i < 4; ++i) {
    auto* button = new QToolButton(row);
    button->setObjectName(QString::fromLatin1(buttons[i].name));
    button->setText(QString::fromLatin1(buttons[i].caption));
    button->setCheckable(true);
    const QKeySequence key(Qt::Key_1 + i);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), key.toString()));
    auto* shortcut = new QShortcut(key, this, [button] { button->click(); });
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    modes_->addButton(button, int(buttons[i].mode));
    layout->addWidget(button);
  }
  modes_->button(int(ComparisonCanvas::Mode::kResult))->setChecked(true);
  canvas_->SetMode(ComparisonCanvas::Mode::kResult);
  connect(modes_, &QButtonGroup::idClicked, this, [this](int id) {
    canvas_->SetMode(ComparisonCanvas::Mode(id));
    ShowMode();
  });
  layout->addSpacing(12);
  zoom_ = new QComboBox(row);
  zoom_->setObjectName(QStringLiteral("cmbZoom"));
  zoom_->setToolTip(QStringLiteral("Zoom (Ctrl+wheel over the view; drag to pan)"));
  zoom_->addItem(QStringLiteral("Fit"), ComparisonCanvas::kFit);
  for (int step : {1, 2, 4, 8, 16}) zoom_->addItem(QStringLiteral("%1:1").arg(step), step);
  connect(zoom_, &QComboBox::activated, this,
          [this](int index) { canvas_->SetZoom(zoom_->itemData(index).toInt()); });
  layout->addWidget(zoom_);
  layout->addStretch(1);
  return row;
}

// Under the view in the loss map: the scale, what its steps mean, and what the map shows.
QWidget* ComparisonView::BuildLossMapPanel() {
  lossMapPanel_ = new QWidget(this);
  auto* panel = new QVBoxLayout(lossMapPanel_);
  panel->setContentsMargins(0, 0, 0, 0);
  panel->setSpacing(2);
  panel->addWidget(new LossScale(lossMapPanel_));
  auto* meaning = new QLabel(
      QStringLiteral("Below 0.5 the picture in grey; 1.0 is about the least difference noticed "
                     "side by side, 2.3 a just noticeable one."),
      lossMapPanel_);
  meaning->setObjectName(QStringLiteral("lblLossScale"));
  meaning->setWordWrap(true);
  panel->addWidget(meaning);
  auto* options = new QHBoxLayout;
  onlyAboveOne_ = new QCheckBox(QStringLiteral("Only above 1.0"), lossMapPanel_);
  onlyAboveOne_->setObjectName(QStringLiteral("chkOnlyAboveOne"));
  visible_ = new QCheckBox(QStringLiteral("Visible"), lossMapPanel_);
  visible_->setObjectName(QStringLiteral("chkVisible"));
  visible_->setToolTip(QStringLiteral("Map the visible loss (S-CIELAB) instead of each pixel's"));
  for (QCheckBox* box : {onlyAboveOne_, visible_}) {
    options->addWidget(box);
    connect(box, &QCheckBox::toggled, this, [this] {
      canvas_->SetLossMapOptions(onlyAboveOne_->isChecked(), visible_->isChecked());
      blocksCurrent_ = false;  // the worst places of the other measure
      ShowReadout();
    });
  }
  options->addWidget(BuildViewingBox());
  options->addStretch(1);
  panel->addLayout(options);
  return lossMapPanel_;
}

// The viewing condition of the visible loss: how many picture pixels one degree of sight spans.
QWidget* ComparisonView::BuildViewingBox() {
  viewing_ = new QDoubleSpinBox(lossMapPanel_);
  viewing_->setObjectName(QStringLiteral("spnViewing"));
  viewing_->setRange(kMinViewingPpd, kMaxViewingPpd);
  viewing_->setDecimals(0);
  viewing_->setPrefix(QStringLiteral("seen at "));
  viewing_->setSuffix(QStringLiteral(" px/\u00B0"));
  viewing_->setKeyboardTracking(false);
  viewing_->setValue(kDefaultViewingPpd);
  viewing_->setToolTip(
      QStringLiteral("The visible loss as seen with this many pixels per degree of sight: 60 is "
                     "a 96-dpi screen\nfrom about 60 cm; more is farther away or a finer "
                     "screen, and hides more."));
  connect(viewing_, &QDoubleSpinBox::valueChanged, this, &ComparisonView::ViewingChosen);
  return viewing_;
}

void ComparisonView::ShowViewing(double ppd) {
  const QSignalBlocker quiet(viewing_);
  viewing_->setValue(ppd);
}

QWidget* ComparisonView::BuildPlaceRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  followLens_ = new QCheckBox(QStringLiteral("Follow the lens"), row);
  followLens_->setObjectName(QStringLiteral("chkFollowLens"));
  followLens_->setToolTip(
      QStringLiteral("Centre the view on the pixel under the pointer in the main window"));
  followLens_->setChecked(true);
  layout->addWidget(followLens_);
  nextWorst_ = new QPushButton(QStringLiteral("Next worst place"), row);
  nextWorst_->setObjectName(QStringLiteral("cmdNextWorst"));
  layout->addWidget(nextWorst_);
  layout->addStretch(1);
  connect(nextWorst_, &QPushButton::clicked, this, &ComparisonView::NextWorstPlace);
  return row;
}

void ComparisonView::SetPicture(const QImage& picture, size_t firstPixel, size_t totalPixels) {
  canvas_->SetPicture(picture, firstPixel, totalPixels);
  blocksCurrent_ = false;
  ShowReadout();
}

void ComparisonView::FollowPointer(QPoint pixel) {
  if (followLens_->isChecked()) canvas_->CentreOn(pixel);
}

void ComparisonView::ShowMode() {
  const bool lossMap = canvas_->GetMode() == ComparisonCanvas::Mode::kLossMap;
  lossMapPanel_->setVisible(lossMap);
}

void ComparisonView::ResultChanged() {
  const std::optional<ResultFigures>& figures = computer_.Current();
  blocksCurrent_ = false;
  nextWorst_->setEnabled(figures.has_value());
  visible_->setEnabled(figures && !figures->visibleLoss.empty());
  canvas_->update();
  ShowReadout();
}

void ComparisonView::ShowReadout() {
  const QSize size = canvas_->PictureSize();
  if (hovered_.x() < 0 || hovered_.y() < 0 || hovered_.x() >= size.width() ||
      hovered_.y() >= size.height()) {
    readout_->setText(QStringLiteral("Point at the picture to read a pixel."));
    return;
  }
  const ComparisonCanvas::Mode original = ComparisonCanvas::Mode::kOriginal;
  QStringList parts = {QStringLiteral("x %1, y %2").arg(hovered_.x()).arg(hovered_.y()),
                       QStringLiteral("colour %1").arg(Hex(canvas_->ColorOf(hovered_, original)))};
  const std::optional<ResultFigures>& figures = computer_.Current();
  const size_t p =
      canvas_->FirstPixel() + size_t(hovered_.y()) * size_t(size.width()) + size_t(hovered_.x());
  if (figures && p < figures->written.size()) {
    const int position = figures->written[p];
    parts << QStringLiteral("entry %1 %2")
                 .arg(firstEntry_ + position + 1)
                 .arg(Hex(ToRgbPixel(computer_.CurrentJob()->entries[size_t(position)])))
          << QStringLiteral("\u0394E %1").arg(figures->pixelLoss[p], 0, 'f', 2);
    if (p < figures->visibleLoss.size())
      parts << QStringLiteral("visible %1").arg(figures->visibleLoss[p], 0, 'f', 2);
  } else {
    parts << QStringLiteral("result being worked out");
  }
  readout_->setText(parts.join(QStringLiteral("   ")));
}

void ComparisonView::NextWorstPlace() {
  const std::optional<ResultFigures>& figures = computer_.Current();
  if (!figures) return;
  if (!blocksCurrent_) {
    const bool visible = visible_->isChecked() && !figures->visibleLoss.empty();
    const QSize size = canvas_->PictureSize();
    const std::vector<float>& loss = visible ? figures->visibleLoss : figures->pixelLoss;
    const size_t pixels = size_t(size.width()) * size_t(size.height());
    if (canvas_->FirstPixel() + pixels <= loss.size())
      blocks_ = BlocksByLoss(std::span(loss).subspan(canvas_->FirstPixel(), pixels), size.width(),
                             size.height(), kBlockSize);
    else
      blocks_.clear();
    blocksCurrent_ = true;
    nextBlock_ = 0;
  }
  if (blocks_.empty()) return;
  const LossBlock& block = blocks_[nextBlock_];
  nextBlock_ = (nextBlock_ + 1) % blocks_.size();
  if (canvas_->Zoom() == ComparisonCanvas::kFit) canvas_->SetZoom(kZoomToVisit);
  visited_ = QRect(QPoint(), canvas_->PictureSize())
                 .intersected(QRect(block.x, block.y, kBlockSize, kBlockSize));
  canvas_->CentreOn(visited_.center());
}

}  // namespace tavlo
