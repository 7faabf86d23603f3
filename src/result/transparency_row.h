#pragma once
// The result window's transparency controls: "Transparent entry:" ("None" or one entry of the
// working range, 1-based), what became of the picture's clear pixels, the button that makes the
// first entry no opaque pixel shows transparent, and the alpha rule (threshold and matte colour).
// It only shows and asks: the window applies what it asks for.
#include <QWidget>

#include "base/entry_range.h"
#include "reduction/result_figures.h"
#include "reduction/transparency.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tavlo {

class TransparencyRow : public QWidget {
  Q_OBJECT
 public:
  explicit TransparencyRow(QWidget* parent);

  // The choices: "None" and the entries of `range`, `transparent` (a palette index, or -1)
  // chosen when it lies in the range.
  void ShowChoices(EntryRange range, int transparent);
  void ShowAlphaRule(const AlphaRule& alpha);
  // What the figures of `range` say about the clear pixels; nothing while there are none.
  void ShowFigures(const ResultFigures& figures, EntryRange range);
  void ClearFigures();

 signals:
  // A palette index, or -1 for "None".
  void TransparentChosen(int index);
  void ThresholdChosen(int threshold);
  void MatteRequested();

 private:
  QComboBox* entry_ = nullptr;
  QSpinBox* threshold_ = nullptr;
  QPushButton* matte_ = nullptr;
  QLabel* clear_ = nullptr;
  QPushButton* makeTransparent_ = nullptr;
  int offered_ = -1;  // the palette index the button makes transparent
};

}  // namespace tavlo
