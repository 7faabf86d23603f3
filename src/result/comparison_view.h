#pragma once
// The comparison view of the result window: the picture and the file "Export GIF…" writes,
// side by side at a zoom (ComparisonCanvas), with
// - a row of mode buttons ("Original", "Result", "Split", "Loss map"; keys 1 to 4 while the view
//   has the focus), the zoom steps and "Follow the lens", which centres the view on the pixel
//   under the pointer in the main window;
// - for the loss map, under the view, its scale, "Only above 1.0", "Visible" (S-CIELAB instead
//   of per-pixel CIEDE2000) and the viewing condition of the visible loss;
// - "Next worst place", which visits the picture's 32 x 32 blocks from the highest mean loss
//   down, starting again from the worst whenever the result changes;
// - the readout of the pixel under the pointer: position, colour, the entry written and the loss.
#include <QWidget>
#include <vector>

#include "reduction/loss_map.h"
#include "result/comparison_canvas.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace tavlo {

class ComparisonView : public QWidget {
  Q_OBJECT
 public:
  ComparisonView(const ResultComputer& computer, QWidget* parent = nullptr);

  // The picture, or one frame of an animation, as ComparisonCanvas::SetPicture.
  void SetPicture(const QImage& picture, size_t firstPixel = 0, size_t totalPixels = 0);
  // The palette entry (0-based) of the range's first position, for the readout.
  void SetFirstEntry(int entry) { firstEntry_ = entry; }
  // The main window's pointer is over picture pixel `pixel`.
  void FollowPointer(QPoint pixel);
  ComparisonCanvas& Canvas() { return *canvas_; }
  // The block "Next worst place" went to last, in picture pixels; empty before.
  QRect Visited() const { return visited_; }
  // The viewing condition shown, in pixels per degree.
  void ShowViewing(double ppd);

 signals:
  // The user set another viewing condition.
  void ViewingChosen(double ppd);

 private:
  QWidget* BuildModeRow();
  QWidget* BuildLossMapPanel();
  QWidget* BuildViewingBox();
  QWidget* BuildPlaceRow();
  void ResultChanged();
  void ShowMode();
  void ShowReadout();
  void NextWorstPlace();

  const ResultComputer& computer_;
  ComparisonCanvas* canvas_ = nullptr;
  QButtonGroup* modes_ = nullptr;
  QComboBox* zoom_ = nullptr;
  QCheckBox* followLens_ = nullptr;
  QWidget* lossMapPanel_ = nullptr;
  QDoubleSpinBox* viewing_ = nullptr;
  QCheckBox* onlyAboveOne_ = nullptr;
  QCheckBox* visible_ = nullptr;
  QPushButton* nextWorst_ = nullptr;
  QLabel* readout_ = nullptr;
  QPoint hovered_{-1, -1};
  int firstEntry_ = 0;
  // The blocks of the shown result by falling loss, and the next to visit.
  std::vector<LossBlock> blocks_;
  bool blocksCurrent_ = false;
  size_t nextBlock_ = 0;
  QRect visited_;
};

}  // namespace tavlo
