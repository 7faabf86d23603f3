#include "picture_view/color_picking.h"

#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "palette_window/zoom_lens.h"
#include "picture/lens_image.h"

namespace tavlo {

void ShowColorUnderPointer(PaletteWindow& palette, const QImage& picture, QPoint at, int zoom) {
  const ColorValue color = PixelAt(picture, at);
  if (color < 0) return;
  palette.ShowCurrentColor(color);
  palette.ShowEntryInfo(color);
  palette.Lens()->SetImage(DrawLens(picture, at, zoom));
}

void PickColor(PaletteDocument& palette, const QImage& picture, QPoint at, Qt::MouseButton button) {
  const int selected = palette.SelectedEntry();
  if (button == Qt::LeftButton) {
    const ColorValue color = PixelAt(picture, at);
    if (color < 0) return;
    const PaletteStep step(palette, QStringLiteral("Pick color"));
    palette.SetEntryColor(selected, color);
    if (selected < kPaletteSize - 1) palette.MoveSelectionTo(selected + 1);
  } else if (button == Qt::RightButton || button == Qt::MiddleButton) {
    if (selected > 0) palette.MoveSelectionTo(selected - 1);
  }
}

}  // namespace tavlo
