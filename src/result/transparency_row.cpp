#include "result/transparency_row.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "result/result_texts.h"

namespace tavlo {
namespace {

QIcon Swatch(ColorValue color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(QColor(RedOf(color), GreenOf(color), BlueOf(color)));
  return QIcon(pixmap);
}

}  // namespace

TransparencyRow::TransparencyRow(QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  auto* caption = new QLabel(QStringLiteral("&Transparent entry:"), this);
  entry_ = new QComboBox(this);
  entry_->setObjectName(QStringLiteral("cboTransparentEntry"));
  entry_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  caption->setBuddy(entry_);
  grid->addWidget(caption, 0, 0);
  grid->addWidget(entry_, 0, 1, Qt::AlignLeft);
  makeTransparent_ = new QPushButton(this);
  makeTransparent_->setObjectName(QStringLiteral("cmdMakeTransparent"));
  grid->addWidget(makeTransparent_, 0, 2, Qt::AlignRight);
  auto* thresholdCaption = new QLabel(QStringLiteral("Alpha &threshold:"), this);
  threshold_ = new QSpinBox(this);
  threshold_->setObjectName(QStringLiteral("spnAlphaThreshold"));
  threshold_->setRange(1, 255);
  threshold_->setKeyboardTracking(false);
  threshold_->setToolTip(QStringLiteral("Pixels whose alpha is below this are clear."));
  thresholdCaption->setBuddy(threshold_);
  matte_ = new QPushButton(QStringLiteral("&Matte\u2026"), this);
  matte_->setObjectName(QStringLiteral("cmdMatte"));
  matte_->setToolTip(QStringLiteral("The colour the other pixels are laid over."));
  auto* rule = new QHBoxLayout;
  rule->addWidget(threshold_);
  rule->addWidget(matte_);
  rule->addStretch(1);
  grid->addWidget(thresholdCaption, 1, 0);
  grid->addLayout(rule, 1, 1, 1, 2);
  clear_ = new QLabel(this);
  clear_->setObjectName(QStringLiteral("lblTransparency"));
  clear_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  clear_->setWordWrap(true);
  grid->addWidget(clear_, 2, 0, 1, 3);
  grid->setColumnStretch(2, 1);
  ClearFigures();

  connect(entry_, &QComboBox::activated, this,
          [this](int item) { emit TransparentChosen(entry_->itemData(item).toInt()); });
  connect(threshold_, &QSpinBox::valueChanged, this, &TransparencyRow::ThresholdChosen);
  connect(matte_, &QPushButton::clicked, this, &TransparencyRow::MatteRequested);
  connect(makeTransparent_, &QPushButton::clicked, this,
          [this] { emit TransparentChosen(offered_); });
}

void TransparencyRow::ShowChoices(EntryRange range, int transparent) {
  const QSignalBlocker quiet(entry_);
  const bool same =
      entry_->count() == range.Count() + 1 && entry_->itemData(1).toInt() == range.first;
  if (!same) {
    entry_->clear();
    entry_->addItem(QStringLiteral("None"), -1);
    for (int i = range.first; i <= range.last; ++i) entry_->addItem(QString::number(i + 1), i);
  }
  const int item = entry_->findData(transparent);
  entry_->setCurrentIndex(item < 0 ? 0 : item);
}

void TransparencyRow::ShowAlphaRule(const AlphaRule& alpha) {
  const QSignalBlocker quiet(threshold_);
  threshold_->setValue(alpha.threshold);
  matte_->setIcon(Swatch(alpha.matte));
}

void TransparencyRow::ShowFigures(const ResultFigures& figures, EntryRange range) {
  clear_->setText(TransparencyText(figures));
  clear_->setVisible(!clear_->text().isEmpty());  // an opaque picture's window has no gap
  const bool offer = figures.clearPixels > 0 && figures.transparentEntry == TransparencyRule::kNone;
  makeTransparent_->setVisible(offer);
  if (!offer) return;
  if (figures.firstFreeEntry == TransparencyRule::kNone || figures.rangeSize < 2) {
    offered_ = -1;
    makeTransparent_->setText(QStringLiteral("Make an entry transparent"));
    makeTransparent_->setEnabled(false);
    makeTransparent_->setToolTip(
        figures.rangeSize < 2
            ? QStringLiteral("A range of one entry has none to spare for transparent pixels.")
            : QStringLiteral("Opaque pixels use every entry of the range: free one (for example "
                             "with Remove unused or Merge) or widen the range."));
    return;
  }
  offered_ = range.first + figures.firstFreeEntry;
  makeTransparent_->setText(QStringLiteral("Make entry %1 transparent").arg(offered_ + 1));
  makeTransparent_->setEnabled(true);
  makeTransparent_->setToolTip(
      QStringLiteral("No opaque pixel shows entry %1: the clear pixels take it.")
          .arg(offered_ + 1));
}

void TransparencyRow::ClearFigures() {
  clear_->clear();
  clear_->hide();
  makeTransparent_->hide();
}

}  // namespace tavlo
