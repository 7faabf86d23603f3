// The palette-file commands of the File menu.
#include "app/main_window.h"
#include "commands/palette_file_commands.h"

namespace tavlo {

void MainWindow::OpenPaletteCommand() {
  if (OpenPaletteFile(this, *document_)) ResizeForm();
}

void MainWindow::SavePaletteCommand() {
  SavePaletteFile(this, *document_);
}

}  // namespace tavlo
