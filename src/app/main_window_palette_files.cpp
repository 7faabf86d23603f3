// The palette-file commands of the File menu.
#include "app/main_window.h"
#include "commands/palette_file_commands.h"
#include "picture_view/picture_area.h"

namespace tavlo {

// The window is laid out again after a palette is opened; a preview shown stays and shows the
// new palette.
void MainWindow::OpenPaletteCommand() {
  if (!OpenPaletteFile(this, *document_)) return;
  const bool previewShown = picture_->PreviewShown();
  ResizeForm();  // which hides the preview
  if (previewShown) DrawPreview();
}

void MainWindow::SavePaletteCommand() {
  SavePaletteFile(this, *document_);
}

}  // namespace tavlo
