#pragma once
// The result window "Result" (`frmResult`): a floating tool window owned by the main window that
// describes the picture reduced by the preview's rule to the working range of the palette
// document: the size of its GIF, its colour table, the entries it uses and how far it is from the
// picture, each with its change since the state before the last undo step (what that step did),
// and a table of the range's entries with their pixel counts. Two spin boxes ("Entries 12 to
// 64") show the working range and set it.
//
// The figures are worked out in the background (ResultComputer) after every change of the
// document's colours in the range, of the picture, of the range, of the history and of the loss
// budget, and only while the window is shown. While they are being worked out the window says so
// and greys the figures of the older palette.
//
// The status line says what is going on: the figures being worked out or why they cannot be,
// what the picture lost on loading, and the last message of a command (until the next change).
//
// Beside the range, the transparent entry (TransparencyRow): part of the document's result
// settings, so it travels with undo and redo. The alpha rule is the program's setting: the window
// shows it and asks the main window to change it.
//
// The loss budget ("Loss budget (ΔE):", 0 to 10; 0 is exact) is what "Export GIF..." writes
// with: the figures describe that file, and beside them the exact reduction's size and loss show
// what the budget bought. It is not part of the document: changing it is no undo step.
//
// Above the figures, the comparison view (comparison_view.h) shows the picture and that file; of
// an animation, the current frame, chosen in the frame bar that heads the figures (frame_bar.h).
// The view, the figures and the usage table are panes whose heights the user sets.
#include <QWidget>
#include <bitset>
#include <optional>
#include <utility>

#include "base/entry_range.h"
#include "palette_model/palette_document.h"
#include "result/result_computer.h"

class QDoubleSpinBox;
class QLabel;
class QLayout;
class QPushButton;
class QSpinBox;
class QSplitter;
class QStandardItemModel;
class QSortFilterProxyModel;
class QTableView;

namespace tavlo {

class ComparisonView;
class FrameBar;
class PaletteDocument;
class TransparencyRow;

class ResultWindow : public QWidget {
  Q_OBJECT
 public:
  // `compute` as for ResultComputer: tests pass a deliberately slow one.
  ResultWindow(QWidget* owner, PaletteDocument& document, ResultFunction compute = {});
  ~ResultWindow() override;

  // The picture as loaded, its alpha kept when it has any; and what it lost on loading, for the
  // status line. An animation's frames are one below the other, and `frames` says how; the frame
  // bar then steps through them, the comparison view shows the current frame, and the figures are
  // those of the whole animation.
  void SetPicture(const QImage& picture, const QString& notes = {}, const FrameTiming& frames = {});
  FrameBar* Frames() const { return frameBar_; }
  // Frame k of the animation is the current one.
  void ShowFrame(int k);
  EntryRange Range() const;
  // The alpha rule the picture is reduced by.
  void SetAlphaRule(const AlphaRule& alpha);
  const AlphaRule& Alpha() const { return alpha_; }
  // The transparent entry (its position in the working range) and the alpha rule.
  TransparencyRule Rule() const;
  // A command's message, shown until the next change.
  void ShowMessage(const QString& message);
  // Shows or hides the offer of "Use the picture's colour table".
  void OfferPictureTable(bool offered);
  // The loss budget, rounded to the spin box's tenths and kept within 0 to 10.
  void SetBudget(double budget);
  double Budget() const;
  // The viewing condition of the visible loss, in samples per degree (0 leaves it out).
  void SetViewingPpd(double ppd);
  double ViewingPpd() const { return viewingPpd_; }
  ComparisonView& Comparison() { return *comparison_; }
  // The heights of the comparison view and of the usage table, which the user sets by dragging
  // the panes' dividers; the figures between them keep theirs. Heights of 0 or less are ignored.
  std::pair<int, int> PaneHeights() const;
  void SetPaneHeights(int view, int usage);

  ResultComputer& Computer() { return *computer_; }
  // The figures shown, when they are those of the document, picture and range as they are now.
  const ResultFigures* CurrentFigures() const;
  // The colours the current figures were worked out for.
  std::vector<ColorValue> RangeColors() const;

 signals:
  void ShownChanged(bool shown);
  // The user asked for another alpha threshold, or to choose the matte colour.
  void ThresholdChosen(int threshold);
  void MatteRequested();
  // The user took the offer of the picture's own colour table.
  void PictureTableRequested();
  // Range entries that no pixel shows, by palette index; none unless current figures are shown.
  void UnusedEntriesChanged(std::bitset<tavlo::kPaletteSize> unused);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildLayout();
  QLayout* BuildRangeRow();
  void ShowRange();
  void RangeEdited(bool firstEdited);
  void Recompute();
  void ShowFrameInView(int k);
  void ShowFrameFigures();
  void UpdateStatus();
  void NoteTransparentEntry();
  void ShowOutdated();
  void ShowFigures(const ResultFigures& figures);
  void ShowFailure(const QString& error);
  void FillUsage(const ResultFigures& figures);
  void ShowExact(const ResultFigures& figures);
  void ShowVisibleLoss();
  void SetUnused(std::bitset<kPaletteSize> unused);
  void ApplyPaneHeights();

  PaletteDocument& document_;
  ResultComputer* computer_ = nullptr;
  QImage picture_;
  AlphaRule alpha_;
  FrameTiming frames_;
  FrameBar* frameBar_ = nullptr;
  EntryRange shownRange_{0, kPaletteSize - 1};  // the range of the figures shown
  std::bitset<kPaletteSize> unused_;
  QString state_;     // "Working out the result…", or why there is no result
  QString notes_;     // what the picture lost on loading
  QString message_;   // the last command's message
  QString fileNote_;  // the transparent entry an opened palette file named
  int notedTransparent_ = ResultSettings::kNoTransparentEntry;
  double viewingPpd_ = kDefaultViewingPpd;
  QSplitter* panes_ = nullptr;
  QSize pendingPanes_;  // heights of the view and the usage table to set once shown
  ComparisonView* comparison_ = nullptr;
  QLabel* visibleLoss_ = nullptr;

  QSpinBox* firstEntry_ = nullptr;
  QSpinBox* lastEntry_ = nullptr;
  TransparencyRow* transparency_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* useTable_ = nullptr;
  QDoubleSpinBox* budget_ = nullptr;
  QLabel* budgetEffect_ = nullptr;
  QLabel* exactCaption_ = nullptr;
  QLabel* exact_ = nullptr;
  QLabel* frameCaption_ = nullptr;
  QLabel* frameFigures_ = nullptr;  // the current frame's, of an animation
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
