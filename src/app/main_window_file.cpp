// The File menu: pictures, palette files and the recent-pictures list.
#include "app/main_window.h"

namespace tavlo {

void MainWindow::OpenImageCommand() {}

void MainWindow::OpenPaletteCommand() {}

void MainWindow::SavePaletteCommand() {}

void MainWindow::OpenRecentCommand(int) {}

void MainWindow::GetRecentFiles() {}

}  // namespace tavlo
