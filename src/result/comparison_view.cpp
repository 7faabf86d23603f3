#include "result/comparison_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "result/result_computer.h"

namespace tavlo {
namespace {

constexpr int kBlockSize = 32;
constexpr int kZoomToVisit = 8;  // the zoom "Next worst place" goes to from "Fit"

// The loss map's scale from 0 to 10 with its steps and what they mean.
class LossLegend : public QWidget {
 public:
  explicit LossLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picLossLegend"));
    setMinimumWidth(150);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int top = 8, bottom = height() - 8, bar = 16;
    auto yOf = [&](float loss) { return bottom - int(float(bottom - top) * loss / kDeepest); };
    for (int y = top; y <= bottom; ++y) {
      const float loss = kDeepest * float(bottom - y) / float(bottom - top);
      painter.setPen(QColor::fromRgb(LossMapColor(loss, MakeColor(160, 160, 160))));
      painter.drawLine(2, y, 2 + bar, y);
    }
    painter.setPen(palette().color(QPalette::WindowText));
    const struct {
      float loss;
      const char* text;
    } marks[] = {{0, "0 picture in grey"},
                 {kTintFrom, "0.5 tint"},
                 {kNoticed, "1.0 noticed side by side"},
                 {kJustNoticeable, "2.3 just noticeable"},
                 {kDeepest, "10 and above"}};
    for (const auto& mark : marks)
      painter.drawText(QRect(bar + 6, yOf(mark.loss) - 8, width() - bar - 6, 16),
                       Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf8(mark.text));
  }
};

QString Hex(QRgb rgb) {
  return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

ComparisonView::ComparisonView(const ResultComputer& computer, QWidget* parent)
    : QWidget(parent), computer_(computer) {
  setObjectName(QStringLiteral("pnlCompare"));
  canvas_ = new ComparisonCanvas(computer, this);
  legend_ = new LossLegend(this);
  readout_ = new QLabel(this);
  readout_->setObjectName(QStringLiteral("lblReadout"));
  readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(BuildModeRow(), 0, 0, 1, 2);
  layout->addWidget(canvas_, 1, 0);
  layout->addWidget(legend_, 1, 1);
  layout->addWidget(BuildLossRow(), 2, 0, 1, 2);
  layout->addWidget(readout_, 3, 0, 1, 2);
  layout->setRowStretch(1, 1);
  layout->setColumnStretch(0, 1);

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

QWidget* ComparisonView::BuildLossRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  followLens_ = new QCheckBox(QStringLiteral("Follow the lens"), row);
  followLens_->setObjectName(QStringLiteral("chkFollowLens"));
  followLens_->setToolTip(
      QStringLiteral("Centre the view on the pixel under the pointer in the main window"));
  followLens_->setChecked(true);
  layout->addWidget(followLens_);
  onlyAboveOne_ = new QCheckBox(QStringLiteral("Only above 1.0"), row);
  onlyAboveOne_->setObjectName(QStringLiteral("chkOnlyAboveOne"));
  visible_ = new QCheckBox(QStringLiteral("Visible"), row);
  visible_->setObjectName(QStringLiteral("chkVisible"));
  visible_->setToolTip(QStringLiteral("Map the visible loss (S-CIELAB) instead of each pixel's"));
  nextWorst_ = new QPushButton(QStringLiteral("Next worst place"), row);
  nextWorst_->setObjectName(QStringLiteral("cmdNextWorst"));
  layout->addWidget(nextWorst_);
  for (QCheckBox* box : {onlyAboveOne_, visible_}) {
    layout->addWidget(box);
    connect(box, &QCheckBox::toggled, this, [this] {
      canvas_->SetLossMapOptions(onlyAboveOne_->isChecked(), visible_->isChecked());
      blocksCurrent_ = false;  // the worst places of the other measure
      ShowReadout();
    });
  }
  layout->addStretch(1);
  connect(nextWorst_, &QPushButton::clicked, this, &ComparisonView::NextWorstPlace);
  return row;
}

void ComparisonView::SetPicture(const QImage& picture) {
  canvas_->SetPicture(picture);
}

void ComparisonView::FollowPointer(QPoint pixel) {
  if (followLens_->isChecked()) canvas_->CentreOn(pixel);
}

void ComparisonView::ShowMode() {
  const bool lossMap = canvas_->GetMode() == ComparisonCanvas::Mode::kLossMap;
  for (QWidget* part :
       {legend_, static_cast<QWidget*>(onlyAboveOne_), static_cast<QWidget*>(visible_)})
    part->setVisible(lossMap);
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
  const size_t p = size_t(hovered_.y()) * size_t(size.width()) + size_t(hovered_.x());
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
    blocks_ = BlocksByLoss(visible ? figures->visibleLoss : figures->pixelLoss, size.width(),
                           size.height(), kBlockSize);
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
