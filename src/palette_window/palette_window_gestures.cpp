// What the mouse does on the swatches of the palette window: select here; clear, edit and swap
// by request to the commands.
#include "palette_window/palette_window.h"
#include "palette_window/swatch_grid.h"

namespace tavlo {
namespace {

// Ctrl alone starts a drag; Ctrl together with Shift or Alt makes an ordinary press.
bool StartsDrag(Qt::KeyboardModifiers modifiers) {
  return (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ==
         Qt::ControlModifier;
}

bool IsMainButton(Qt::MouseButton button) {
  return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
}

}  // namespace

void PaletteWindow::ConnectGestures() {
  connect(swatches_, &SwatchGrid::SwatchPressed, this, &PaletteWindow::Press);
  connect(swatches_, &SwatchGrid::SwatchDoubleClicked, this, &PaletteWindow::Edit);
  connect(swatches_, &SwatchGrid::SwatchDropped, this, &PaletteWindow::Drop);
}

// Left selects the entry and shows it; right and middle select it and clear it to black. The
// current-colour display follows only when the selection moves, the info panel on every press.
void PaletteWindow::Press(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  // The extra buttons (back, forward) mean nothing here.
  if (!IsMainButton(button)) return;
  if (StartsDrag(modifiers)) {
    swatches_->BeginDrag();
    dragSourceEntry_ = static_cast<std::int16_t>(index);
    return;
  }
  if (button == Qt::LeftButton) {
    if (index != document_.SelectedEntry()) {
      document_.MoveSelectionTo(index);
      ShowCurrentColor(document_.GetEntryColor(index));
    }
  } else {
    ShowCurrentColor(0x00000000);
    emit ClearRequested(index);
  }
  ShowEntryInfo(document_.GetEntryColor(index));
}

// The second click of a left double-click. Its first click already selected the entry; the edit
// refreshes neither the current-colour display nor the info panel.
void PaletteWindow::Edit(int index, Qt::KeyboardModifiers modifiers) {
  if (StartsDrag(modifiers)) {
    Press(index, Qt::LeftButton, modifiers);
    return;
  }
  emit EditRequested(index);
}

// A release over a swatch swaps it with the dragged one; anywhere else it does nothing.
void PaletteWindow::Drop(int index) {
  if (index >= 0) emit SwapRequested(dragSourceEntry_, index);
}

}  // namespace tavlo
