// The picture commands of the File menu and the recent-pictures list.
#include "app/main_window.h"

namespace tavlo {

void MainWindow::OpenImageCommand() {}

void MainWindow::OpenRecentCommand(int) {}

void MainWindow::GetRecentFiles() {}

}  // namespace tavlo
