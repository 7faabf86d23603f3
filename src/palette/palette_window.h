#pragma once
// The palette window "Select entry": owner of the one palette of 256 colours and of the
// selection state, with the current-colour display, the info panel, the compress divisor list
// and the zoom lens. Every other part of the program reads and writes entries through it.
#include <QWidget>
#include <array>
#include <cstdint>

#include "palette/color_value.h"

class QComboBox;
class QLabel;

namespace tavlo {

class SwatchGrid;
class ZoomLens;

class PaletteWindow : public QWidget {
  Q_OBJECT
 public:
  // Client area in pixels (5550 x 3915 twips).
  static constexpr int kClientWidth = 370;
  static constexpr int kClientHeight = 261;

  explicit PaletteWindow(QWidget* owner);

  // The palette.
  ColorValue GetEntryColor(int index) const;
  void SetEntryColor(int index, ColorValue colour);  // shows at once, changes nothing else
  const PaletteColors& Colors() const;

  // The selection state.
  int SelectedEntry() const { return selectedEntry_; }
  void SetSelectedEntry(int index) { selectedEntry_ = index; }
  void SetSelectionFrame(int index, bool shown);
  bool SelectionFrameShown(int index) const;
  // Frame off the selected entry, frame on `index`, `index` selected.
  void MoveSelectionTo(int index);
  std::int16_t DragSourceEntry() const { return dragSourceEntry_; }
  void SetDragSourceEntry(std::int16_t index) { dragSourceEntry_ = index; }

  // The current-colour display and the info panel.
  void ShowCurrentColor(ColorValue colour);
  QColor CurrentColorShown() const;
  void ShowEntryInfo(ColorValue colour);

  // The text of the selected divisor in "Compress:", or of the first item when none is selected.
  QString CompressDivisorText() const;

  SwatchGrid* Swatches() const { return swatches_; }
  ZoomLens* Lens() const { return lens_; }

  // Tear-down at shut-down: stores the window's position, then closes it for good.
  void TearDown();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // The mouse gestures on the swatches (palette_window_gestures.cpp).
  void ConnectGestures();
  void Press(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void Edit(int index, Qt::KeyboardModifiers modifiers);
  void Drop(int index);

  void BuildLayout();
  QLabel* AddLabel(const char* name, int index, QRect twips, const QString& text, QColor color,
                   const QFont& font);

  SwatchGrid* swatches_ = nullptr;
  ZoomLens* lens_ = nullptr;
  QLabel* currentColor_ = nullptr;
  QLabel* hexLine_ = nullptr;
  std::array<QLabel*, 3> channelLines_{};
  QComboBox* compress_ = nullptr;
  int selectedEntry_ = 0;
  std::int16_t dragSourceEntry_ = 0;
  bool tornDown_ = false;
};

}  // namespace tavlo
