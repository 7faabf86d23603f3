#include "result/result_window.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

#include "base/thousands.h"
#include "palette_model/palette_document.h"
#include "result/comparison_view.h"
#include "result/frame_bar.h"
#include "result/result_texts.h"
#include "result/transparency_row.h"

namespace tavlo {
namespace {

enum UsageColumn { kEntryColumn, kColorColumn, kPixelsColumn, kShareColumn };

QLabel* AddFigure(QGridLayout* grid, int row, int column, const char* name, QWidget* parent,
                  int columns = 1) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // Long figures wrap: a window that widened itself to fit them would grow off the screen.
  label->setWordWrap(true);
  grid->addWidget(label, row, column, 1, columns);
  return label;
}

QStandardItem* SortedItem(const QString& text, const QVariant& sortKey) {
  auto* item = new QStandardItem(text);
  item->setData(sortKey, Qt::UserRole);
  item->setEditable(false);
  return item;
}

}  // namespace

ResultWindow::ResultWindow(QWidget* owner, PaletteDocument& document, ResultFunction compute)
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      document_(document),
      computer_(new ResultComputer(this, std::move(compute))) {
  setObjectName(QStringLiteral("frmResult"));
  setWindowTitle(QStringLiteral("Result"));
  BuildLayout();
  connect(computer_, &ResultComputer::Outdated, this, &ResultWindow::ShowOutdated);
  connect(computer_, &ResultComputer::Ready, this, &ResultWindow::ShowFigures);
  connect(computer_, &ResultComputer::Failed, this, &ResultWindow::ShowFailure);
  connect(computer_, &ResultComputer::VisibleReady, this, &ResultWindow::ShowVisibleLoss);
  connect(&document_, &PaletteDocument::EntriesChanged, this, [this](EntryRange changed) {
    const EntryRange range = Range();
    if (changed.first <= range.last && changed.last >= range.first) Recompute();
  });
  connect(&document_, &PaletteDocument::ResultSettingsChanged, this, [this] {
    NoteTransparentEntry();
    ShowRange();
    Recompute();
  });
  // Another last step: the changes are measured from another state.
  connect(&document_, &PaletteDocument::HistoryChanged, this, &ResultWindow::Recompute);
  ShowRange();
}

ResultWindow::~ResultWindow() = default;

QLayout* ResultWindow::BuildRangeRow() {
  auto* row = new QHBoxLayout;
  auto addSpinBox = [this, row](const char* name, bool first) {
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, kPaletteSize);
    box->setKeyboardTracking(false);  // "64" typed is one change, not "6" and then "64"
    connect(box, &QSpinBox::valueChanged, this, [this, first] { RangeEdited(first); });
    row->addWidget(box);
    return box;
  };
  auto* caption = new QLabel(QStringLiteral("&Entries"), this);
  row->addWidget(caption);
  firstEntry_ = addSpinBox("spnFirstEntry", true);
  caption->setBuddy(firstEntry_);
  row->addWidget(new QLabel(QStringLiteral("to"), this));
  lastEntry_ = addSpinBox("spnLastEntry", false);
  row->addStretch(1);
  return row;
}

// Three panes, the view, the figures and the usage table, whose heights the user trades by
// dragging: on a small screen there is not room for a large view and a long table at once.
void ResultWindow::BuildLayout() {
  auto* column = new QVBoxLayout(this);
  panes_ = new QSplitter(Qt::Vertical, this);
  panes_->setObjectName(QStringLiteral("splPanes"));
  panes_->setChildrenCollapsible(false);
  column->addWidget(panes_);
  comparison_ = new ComparisonView(*computer_, panes_);
  connect(comparison_, &ComparisonView::ViewingChosen, this, &ResultWindow::SetViewingPpd);
  panes_->addWidget(comparison_);
  // The figures scroll rather than squeeze when the screen is too short for every row (an
  // animation's frame bar and figures on a 768-pixel screen).
  auto* figureScroll = new QScrollArea(panes_);
  figureScroll->setObjectName(QStringLiteral("scrFigures"));
  figureScroll->setWidgetResizable(true);
  figureScroll->setFrameShape(QFrame::NoFrame);
  figureScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* figures = new QWidget(figureScroll);
  figureScroll->setWidget(figures);
  panes_->addWidget(figureScroll);
  // An animation's frame bar heads the figures, under the view it steps.
  auto* figureRows = new QVBoxLayout(figures);
  figureRows->setContentsMargins(0, 0, 0, 0);
  frameBar_ = new FrameBar(figures);
  figureRows->addWidget(frameBar_);
  auto* grid = new QGridLayout;
  figureRows->addLayout(grid);
  grid->addLayout(BuildRangeRow(), 0, 0, 1, 3);
  transparency_ = new TransparencyRow(this);
  connect(transparency_, &TransparencyRow::TransparentChosen, this,
          [this](int index) { document_.SetTransparentEntry(index); });
  connect(transparency_, &TransparencyRow::ThresholdChosen, this, &ResultWindow::ThresholdChosen);
  connect(transparency_, &TransparencyRow::MatteRequested, this, &ResultWindow::MatteRequested);
  auto* rows = new QVBoxLayout;
  rows->setContentsMargins(0, 0, 0, 0);
  rows->addWidget(transparency_);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("lblStatus"));
  status_->setWordWrap(true);
  rows->addWidget(status_);
  // Offered while the picture is a GIF whose own table the palette does not hold.
  useTable_ = new QPushButton(QStringLiteral("Use the picture's colour table"), this);
  useTable_->setObjectName(QStringLiteral("cmdUsePictureTable"));
  useTable_->hide();
  connect(useTable_, &QPushButton::clicked, this, &ResultWindow::PictureTableRequested);
  rows->addWidget(useTable_, 0, Qt::AlignLeft);
  grid->addLayout(rows, 1, 0, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Loss budget (\u0394E):"), this), 2, 0);
  budget_ = new QDoubleSpinBox(this);
  budget_->setObjectName(QStringLiteral("spnLossBudget"));
  budget_->setRange(0, kMaxLossBudget);
  budget_->setDecimals(1);
  budget_->setSingleStep(0.1);
  budget_->setSpecialValueText(QStringLiteral("0.0 (exact)"));
  budget_->setToolTip(QStringLiteral(
      "Each pixel may be written as another entry within this CIEDE2000 difference of its "
      "colour,\nwhen that makes the GIF smaller. 0 writes every pixel's nearest entry."));
  grid->addWidget(budget_, 2, 1, Qt::AlignLeft);
  budgetEffect_ = AddFigure(grid, 2, 2, "lblBudgetEffect", this);
  const char* captions[] = {"GIF size:", "Colour table:", "Loss (CIEDE2000):"};
  for (int row = 0; row < 3; ++row)
    grid->addWidget(new QLabel(QString::fromLatin1(captions[row]), this), row + 3, 0);
  gifSize_ = AddFigure(grid, 3, 1, "lblGifSize", this);
  gifChange_ = AddFigure(grid, 3, 2, "lblGifChange", this);
  table_ = AddFigure(grid, 4, 1, "lblTable", this);
  tableHint_ = AddFigure(grid, 4, 2, "lblTableHint", this);
  loss_ = AddFigure(grid, 5, 1, "lblLoss", this);
  lossChange_ = AddFigure(grid, 5, 2, "lblLossChange", this);
  grid->addWidget(new QLabel(QStringLiteral("Visible (S-CIELAB):"), this), 6, 0);
  visibleLoss_ = AddFigure(grid, 6, 1, "lblVisibleLoss", this, 2);
  exactCaption_ = new QLabel(QStringLiteral("Exact reduction:"), this);
  grid->addWidget(exactCaption_, 7, 0);
  exact_ = AddFigure(grid, 7, 1, "lblExact", this, 2);
  exactCaption_->hide();
  exact_->hide();
  frameCaption_ = new QLabel(QStringLiteral("This frame:"), this);
  grid->addWidget(frameCaption_, 8, 0);
  frameFigures_ = AddFigure(grid, 8, 1, "lblFrameFigures", this, 2);
  frameCaption_->hide();
  frameFigures_->hide();
  connect(budget_, &QDoubleSpinBox::valueChanged, this, [this] { Recompute(); });

  usageModel_ = new QStandardItemModel(0, 4, this);
  usageModel_->setHorizontalHeaderLabels({QStringLiteral("Entry"), QStringLiteral("Colour"),
                                          QStringLiteral("Pixels"), QStringLiteral("Share")});
  usageSorted_ = new QSortFilterProxyModel(this);
  usageSorted_->setSourceModel(usageModel_);
  usageSorted_->setSortRole(Qt::UserRole);
  usage_ = new QTableView(panes_);
  usage_->setObjectName(QStringLiteral("grdUsage"));
  usage_->setModel(usageSorted_);
  usage_->setSortingEnabled(true);
  usage_->sortByColumn(kEntryColumn, Qt::AscendingOrder);
  usage_->verticalHeader()->hide();
  usage_->setSelectionBehavior(QAbstractItemView::SelectRows);
  usage_->horizontalHeader()->setStretchLastSection(true);
  panes_->addWidget(usage_);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(9, 1);  // the figures pane keeps its rows together when it is taller
  panes_->setStretchFactor(0, 3);
  panes_->setStretchFactor(1, 0);
  panes_->setStretchFactor(2, 1);
  resize(420, 560);
}

std::pair<int, int> ResultWindow::PaneHeights() const {
  const QList<int> sizes = panes_->sizes();
  return {sizes[0], sizes[2]};
}

void ResultWindow::SetPaneHeights(int view, int usage) {
  if (view <= 0 || usage <= 0) return;
  pendingPanes_ = QSize(view, usage);
  if (isVisible()) ApplyPaneHeights();
}

// Once shown, when the panes' whole height is known: the figures take what the two leave.
void ResultWindow::ApplyPaneHeights() {
  const QSize pending = pendingPanes_;
  if (pending.isEmpty()) return;
  pendingPanes_ = QSize();
  const QList<int> sizes = panes_->sizes();
  const int total = sizes[0] + sizes[1] + sizes[2];
  panes_->setSizes(
      {pending.width(), std::max(total - pending.width() - pending.height(), 0), pending.height()});
}

void ResultWindow::SetPicture(const QImage& picture, const QString& notes,
                              const FrameTiming& frames) {
  picture_ = picture;
  frames_ = frames;
  frameBar_->SetFrames(frames.count, frames.delays);
  frameCaption_->setVisible(frames.Animated());
  frameFigures_->setVisible(frames.Animated());
  frameFigures_->clear();
  notes_ = notes;
  ShowFrameInView(0);
  Recompute();
}

void ResultWindow::ShowFrame(int k) {
  if (k < 0 || k >= std::max(1, frames_.count)) return;
  frameBar_->ShowFrame(k);
  ShowFrameInView(k);
  ShowFrameFigures();
}

void ResultWindow::ShowFrameFigures() {
  if (const ResultFigures* figures = CurrentFigures(); figures && frames_.Animated())
    frameFigures_->setText(FrameText(*figures, frameBar_->Frame()));
}

// The comparison view shows frame k of an animation, or the picture.
void ResultWindow::ShowFrameInView(int k) {
  if (!frames_.Animated()) {
    comparison_->SetPicture(picture_);
    return;
  }
  const int height = picture_.height() / frames_.count;
  const size_t frameSize = size_t(picture_.width()) * size_t(height);
  comparison_->SetPicture(picture_.copy(0, k * height, picture_.width(), height),
                          size_t(k) * frameSize, frameSize * size_t(frames_.count));
}

void ResultWindow::SetAlphaRule(const AlphaRule& alpha) {
  transparency_->ShowAlphaRule(alpha);
  if (alpha == alpha_) return;
  alpha_ = alpha;
  Recompute();
}

TransparencyRule ResultWindow::Rule() const {
  const ResultSettings& settings = document_.Result();
  return {TransparentEntryIn(settings.TransparentPosition(), settings.range.Count()), alpha_};
}

EntryRange ResultWindow::Range() const {
  return document_.WorkingRange();
}

void ResultWindow::ShowMessage(const QString& message) {
  message_ = message;
  UpdateStatus();
}

void ResultWindow::OfferPictureTable(bool offered) {
  useTable_->setVisible(offered);
}

void ResultWindow::ShowRange() {
  const EntryRange range = Range();
  const QSignalBlocker first(firstEntry_), last(lastEntry_);
  firstEntry_->setValue(range.first + 1);
  lastEntry_->setValue(range.last + 1);
  transparency_->ShowChoices(range, document_.TransparentEntry());
}

// The other end follows an end moved past it.
void ResultWindow::RangeEdited(bool firstEdited) {
  int first = firstEntry_->value() - 1;
  int last = lastEntry_->value() - 1;
  if (first > last) (firstEdited ? last : first) = firstEdited ? first : last;
  document_.SetWorkingRange({first, last});
  ShowRange();
}

void ResultWindow::SetBudget(double budget) {
  budget_->setValue(budget);  // the spin box rounds and bounds it; a change recomputes
}

double ResultWindow::Budget() const {
  return budget_->value();
}

void ResultWindow::SetViewingPpd(double ppd) {
  comparison_->ShowViewing(ppd);
  if (ppd == viewingPpd_) return;
  viewingPpd_ = ppd;
  Recompute();
}

const ResultFigures* ResultWindow::CurrentFigures() const {
  return computer_->Current() ? &*computer_->Current() : nullptr;
}

std::vector<ColorValue> ResultWindow::RangeColors() const {
  return ColorsOf(document_.Colors(), Range());
}

void ResultWindow::Recompute() {
  message_.clear();
  if (!isVisible() || picture_.isNull()) {
    computer_->Withdraw();  // worked out again when the window is shown
    state_.clear();
    UpdateStatus();
    transparency_->ClearFigures();
    return;
  }
  std::optional<std::vector<ColorValue>> baseline;
  if (const PaletteState* before = document_.StateBeforeLastStep())
    baseline = ColorsOf(before->colors, before->result.range);
  computer_->Request(picture_, RangeColors(), std::move(baseline), Rule(), Budget(), viewingPpd_,
                     frames_);
}

// A transparent entry that came with an opened palette file is said until it changes.
void ResultWindow::NoteTransparentEntry() {
  const int entry = document_.TransparentEntry();
  if (entry == notedTransparent_) return;
  notedTransparent_ = entry;
  const bool fromFile = entry != ResultSettings::kNoTransparentEntry &&
                        document_.UndoName() == QStringLiteral("Open palette");
  fileNote_ = fromFile ? QStringLiteral(
                             "The palette file names entry %1 as transparent: it is "
                             "the transparent entry.")
                             .arg(entry + 1)
                       : QString();
  UpdateStatus();
}

void ResultWindow::UpdateStatus() {
  QStringList lines;
  for (const QString& line : {state_, notes_, fileNote_, message_})
    if (!line.isEmpty()) lines << line;
  status_->setText(lines.join(QLatin1Char('\n')));
  // An empty line gives its room to the rows around it.
  status_->setVisible(!status_->text().isEmpty());
}

void ResultWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ApplyPaneHeights();
  if (!computer_->Current() && !computer_->Pending()) Recompute();
  emit ShownChanged(true);
}

void ResultWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  SetUnused({});
  emit ShownChanged(false);
}

void ResultWindow::ShowOutdated() {
  state_ = QStringLiteral("Working out the result\u2026");
  UpdateStatus();
  for (QWidget* figure : {static_cast<QWidget*>(gifSize_), static_cast<QWidget*>(gifChange_),
                          static_cast<QWidget*>(table_), static_cast<QWidget*>(tableHint_),
                          static_cast<QWidget*>(loss_), static_cast<QWidget*>(lossChange_),
                          static_cast<QWidget*>(budgetEffect_), static_cast<QWidget*>(exact_),
                          static_cast<QWidget*>(visibleLoss_), static_cast<QWidget*>(usage_)})
    figure->setEnabled(false);
}

void ResultWindow::ShowFailure(const QString& error) {
  state_ = error;
  UpdateStatus();
}

void ResultWindow::ShowFigures(const ResultFigures& figures) {
  state_.clear();
  UpdateStatus();
  shownRange_ = Range();  // figures come only for the newest request, made for this range
  const std::optional<BaselineFigures>& baseline = computer_->Baseline();
  if (figures.gifError.isEmpty()) {
    gifSize_->setText(ByteCountText(figures.GifBytes()));
    gifChange_->setText(baseline && baseline->gifBytes >= 0
                            ? ByteChangeText(figures.GifBytes() - baseline->gifBytes)
                            : QString());
  } else {
    gifSize_->setText(figures.gifError);
    gifChange_->clear();
  }
  table_->setText(TableText(figures));
  tableHint_->setText(TableHintText(figures));
  loss_->setText(LossText(figures));
  lossChange_->setText(baseline ? LossChangeText(figures, baseline->figures) : QString());
  ShowVisibleLoss();
  comparison_->SetFirstEntry(shownRange_.first);
  ShowExact(figures);
  ShowFrameFigures();
  FillUsage(figures);
  for (QWidget* figure : findChildren<QWidget*>())
    if (!comparison_->isAncestorOf(figure)) figure->setEnabled(true);
  transparency_->ShowFigures(figures, shownRange_);

  std::bitset<kPaletteSize> unused;
  for (size_t i = 0; i < figures.usage.size(); ++i)
    if (figures.usage[i] == 0) unused.set(static_cast<size_t>(shownRange_.first) + i);
  SetUnused(unused);
}

void ResultWindow::ShowVisibleLoss() {
  const ResultFigures* figures = CurrentFigures();
  if (!figures) return;
  visibleLoss_->setText(figures->visibleLoss.empty() && viewingPpd_ > 0
                            ? QStringLiteral("being worked out\u2026")
                            : VisibleLossText(*figures));
}

void ResultWindow::ShowExact(const ResultFigures& figures) {
  const bool budgeted = figures.budget > 0 && figures.gifError.isEmpty();
  budgetEffect_->setText(budgeted ? BudgetEffectText(figures) : QString());
  exact_->setText(budgeted ? ExactText(figures) : QString());
  exactCaption_->setVisible(budgeted);
  exact_->setVisible(budgeted);
}

void ResultWindow::FillUsage(const ResultFigures& figures) {
  const std::vector<ColorValue> colors = computer_->CurrentJob()->entries;
  usageModel_->setRowCount(0);
  const double pixels = std::max<double>(1, double(figures.pixels));
  for (size_t i = 0; i < figures.usage.size(); ++i) {
    const int entry = shownRange_.first + static_cast<int>(i) + 1;
    const std::uint64_t count = figures.usage[i];
    const ColorValue c = colors[i];
    auto* swatch = SortedItem(QString(), c);
    swatch->setData(QColor(RedOf(c), GreenOf(c), BlueOf(c)), Qt::DecorationRole);
    QList<QStandardItem*> row = {
        SortedItem(QString::number(entry), entry), swatch,
        SortedItem(QString::fromStdString(WithThousands(count)), qulonglong(count)),
        SortedItem(count ? ShareText(double(count) / pixels) : QStringLiteral("unused"),
                   double(count) / pixels)};
    if (count == 0) {
      for (QStandardItem* item : row) {
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
      }
    }
    usageModel_->appendRow(row);
  }
}

void ResultWindow::SetUnused(std::bitset<kPaletteSize> unused) {
  if (unused == unused_) return;
  unused_ = unused;
  emit UnusedEntriesChanged(unused_);
}

}  // namespace tavlo
