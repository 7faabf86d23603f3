#pragma once
// The result window "Result" (`frmResult`): a floating tool window owned by the main window that
// describes the picture reduced by the preview's rule to an entry range of the palette document:
// the size of its GIF, its colour table, the entries it uses and how far it is from the picture,
// each with its change since the previous result, and a table of the range's entries with their
// pixel counts.
//
// The figures are worked out in the background (ResultComputer) after every change of the
// document's colours in the range, of the picture, of the range and of the loss budget, and only
// while the window is shown. While they are being worked out the window says so and greys the
// figures of the older palette.
//
// The loss budget ("Loss budget (ΔE):", 0 to 10; 0 is exact) is what "Export GIF..." writes
// with: the figures describe that file, and beside them the exact reduction's size and loss show
// what the budget bought. It is not part of the document: changing it is no undo step.
#include <QWidget>
#include <bitset>
#include <optional>

#include "base/entry_range.h"
#include "result/result_computer.h"

class QDoubleSpinBox;
class QLabel;
class QStandardItemModel;
class QSortFilterProxyModel;
class QTableView;

namespace tavlo {

class PaletteDocument;

class ResultWindow : public QWidget {
  Q_OBJECT
 public:
  // `compute` as for ResultComputer: tests pass a deliberately slow one.
  ResultWindow(QWidget* owner, const PaletteDocument& document, ResultFunction compute = {});
  ~ResultWindow() override;

  void SetPicture(const QImage& picture);
  void SetRange(EntryRange range);
  EntryRange Range() const { return range_; }
  // The loss budget, rounded to the spin box's tenths and kept within 0 to 10.
  void SetBudget(double budget);
  double Budget() const;

  ResultComputer& Computer() { return *computer_; }
  // The figures shown, when they are those of the document, picture and range as they are now.
  const ResultFigures* CurrentFigures() const;
  // The colours the current figures were worked out for.
  std::vector<ColorValue> RangeColors() const;

 signals:
  void ShownChanged(bool shown);
  // Range entries that no pixel shows, by palette index; none unless current figures are shown.
  void UnusedEntriesChanged(std::bitset<tavlo::kPaletteSize> unused);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildLayout();
  void Recompute();
  void ShowOutdated();
  void ShowFigures(const ResultFigures& figures);
  void ShowFailure(const QString& error);
  void FillUsage(const ResultFigures& figures);
  void ShowExact(const ResultFigures& figures);
  void SetUnused(std::bitset<kPaletteSize> unused);

  const PaletteDocument& document_;
  ResultComputer* computer_ = nullptr;
  QImage picture_;
  EntryRange range_{0, kPaletteSize - 1};
  std::optional<ResultFigures> previous_;  // the figures shown before, without their GIF
  qint64 previousGifBytes_ = -1;           // the size of their GIF; -1 for none
  std::bitset<kPaletteSize> unused_;

  QLabel* status_ = nullptr;
  QDoubleSpinBox* budget_ = nullptr;
  QLabel* budgetEffect_ = nullptr;
  QLabel* exactCaption_ = nullptr;
  QLabel* exact_ = nullptr;
  QLabel* gifSize_ = nullptr;
  QLabel* gifChange_ = nullptr;
  QLabel* table_ = nullptr;
  QLabel* tableHint_ = nullptr;
  QLabel* loss_ = nullptr;
  QLabel* lossChange_ = nullptr;
  QTableView* usage_ = nullptr;
  QStandardItemModel* usageModel_ = nullptr;
  QSortFilterProxyModel* usageSorted_ = nullptr;
};

}  // namespace tavlo
