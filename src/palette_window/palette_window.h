#pragma once
// The palette window "Select entry": the swatches of the palette document with its selection,
// the current-colour display, the info panel, the compress divisor list and the zoom lens. It
// shows the document and moves its selection; what changes colours (clearing, editing, swapping
// entries) it asks for by signal, and the commands do it.
#include <QWidget>
#include <array>
#include <cstdint>

#include "base/color_value.h"
#include "palette_model/palette_document.h"

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

  PaletteWindow(QWidget* owner, PaletteDocument& document);

  PaletteDocument& Document() const { return document_; }

  // The entry whose drag was started last.
  std::int16_t DragSourceEntry() const { return dragSourceEntry_; }

  // The current-colour display and the info panel.
  void ShowCurrentColor(ColorValue color);
  QColor CurrentColorShown() const;
  void ShowEntryInfo(ColorValue color);

  // The text of the selected divisor in "Compress:", or of the first item when none is selected.
  QString CompressDivisorText() const;

  SwatchGrid* Swatches() const { return swatches_; }
  ZoomLens* Lens() const { return lens_; }

  // Tear-down at shut-down: stores the window's position, then closes it for good.
  void TearDown();

 signals:
  // A right or middle press on swatch `index`: select it and clear it to black.
  void ClearRequested(int index);
  // A left double-click on swatch `index`: edit its colour.
  void EditRequested(int index);
  // A swatch dragged from `source` was released over swatch `target`: swap their colours.
  void SwapRequested(int source, int target);

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
  PaletteDocument& document_;
  std::int16_t dragSourceEntry_ = 0;
  bool tornDown_ = false;
};

}  // namespace tavlo
