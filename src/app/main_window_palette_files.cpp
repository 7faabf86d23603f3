// The palette-file commands of the File menu.
#include "app/main_window.h"

namespace tavlo {

void MainWindow::OpenPaletteCommand() {}

void MainWindow::SavePaletteCommand() {}

}  // namespace tavlo
